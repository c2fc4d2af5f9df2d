// Printing from the page: ファイル → 印刷 lays out the desktop's printout of the machine in the
// page's fonts and hands it to the browser's print; a worksheet goes the same way. Chromium's
// print to PDF (page.pdf(), the browser's print media) is read back with pdftotext.
//
// usage: node print.test.mjs --web-out DIR --fixtures TOOL --sim SIM --app-dir DIR --work DIR [--site DIR]
import { test } from 'node:test';
import assert from 'node:assert/strict';
import path from 'node:path';
import { work, browser, openPage, scene, run } from './harness.mjs';

// The text of a PDF, page by page, spaces of every width left out.
function pdfPages(file) {
  return run('pdftotext', ['-layout', file, '-']).stdout.split('\f').filter(p => p.trim())
    .map(p => p.replace(/[\s\u3000]+/g, ''));
}

// The browser's print is asked for: the test takes its place and prints to PDF itself.
async function stubPrint(page) {
  await page.evaluate(() => { window.printed = 0; window.print = () => { window.printed++; }; });
}
async function printed(page, count) {
  await page.waitForFunction(n => window.printed === n, count, { timeout: 10000 });
}

test('the machine printout, with the mouse and with a finger: the header, the part numbers as the print dialog asks, nothing else of the page', async () => {
  for (const touch of [false, true]) {
    const context = await browser.newContext(touch
      ? { viewport: { width: 1024, height: 768 }, hasTouch: true, isMobile: true, deviceScaleFactor: 2 }
      : { viewport: { width: 1000, height: 700 } });
    const page = await openPage(context, '?machine=test-vending.jhk');
    const press = sel => (touch ? page.locator(sel).tap() : page.click(sel));
    await stubPrint(page);
    const s = await scene(page);
    const slots = s.parts.filter(p => p.visible).map(p => p.slot);
    assert.ok(slots.length >= 5, `parts: ${slots}`);

    let prints = 0;
    for (const numbers of [true, false]) {
      await press('#menu-bar [data-menu=file]');
      if (!touch && numbers) await page.screenshot({ path: path.join(work, 'file-menu.png') });
      await press('#menu-file [data-command=print]');
      const dialog = page.locator('#frmPrintDialog');
      await dialog.waitFor();
      assert.deepEqual(await dialog.locator('button').allInnerTexts(), ['用紙設定', 'キャンセル', '印刷']);
      assert.equal(await dialog.locator('legend').innerText(), 'プリント内容の設定');
      if (!touch && numbers) await page.screenshot({ path: path.join(work, 'print-dialog.png') });
      if (!numbers) await press('#frmPrintDialog #chkNumPrint');
      await press('#frmPrintDialog #cmdOK');
      await dialog.waitFor({ state: 'detached' });
      await printed(page, ++prints);
      // The printout's pictures are the stage's: the background and every part's picture.
      assert.equal(await page.locator('#print-area image').count(), 1 + slots.length);

      const pdf = path.join(work, `machine-${touch}-${numbers}.pdf`);
      await page.pdf({ path: pdf, format: 'A4', preferCSSPageSize: true, printBackground: true });
      const pages = pdfPages(pdf);
      assert.equal(pages.length, 1, pages.join('\n---\n'));
      const text = pages[0];
      for (const header of ['ジハンコウボウ－自動販売機－', 'レベル：3', `パーツの個数：${slots.length}`, `所持金：￥${s.moneyInHand}`])
        assert.ok(text.includes(header), `${header} in ${text}`);
      for (const slot of slots)
        assert.equal(text.includes(`No.${slot}`), numbers, `No.${slot} in ${text}`);
      // Only the printout: none of the window's buttons or menus.
      for (const other of ['実行', 'ファイル', '財布'])
        assert.ok(!text.includes(other), `${other} in ${text}`);
    }

    // 用紙設定 is the browser's print dialog (the menu says so): the printout with its numbers.
    await press('#menu-bar [data-menu=file]');
    const setup = page.locator('#menu-file [data-command=pagesetup]');
    assert.match(await setup.innerText(), /用紙設定[\s\S]*ブラウザーの印刷画面/);
    await press('#menu-file [data-command=pagesetup]');
    await printed(page, ++prints);
    assert.ok((await page.locator('#print-area').innerHTML()).includes('No.'));
    await context.close();
  }
});

test('a worksheet, filled in and blank, through the browser\'s print: every box\'s words, a page per part', async () => {
  const context = await browser.newContext({ viewport: { width: 1000, height: 700 } });
  const page = await openPage(context, '?machine=test-vending.jhk');
  await stubPrint(page);
  const s = await scene(page);
  const button = s.parts.find(p => p.kind === 1).slot;

  assert.equal(await page.evaluate(b => window.jihankobo.printWorksheet(b, false), button), '');
  await printed(page, 1);
  const filled = path.join(work, 'worksheet.pdf');
  await page.pdf({ path: filled, preferCSSPageSize: true });
  const pages = pdfPages(filled);
  assert.equal(pages.length, 1);
  for (const words of [`パーツ番号${button}`, 'パーツの種類：ボタン', '名前（', '開始', '終了', '商品排出', 'test-vending.jhk'])
    assert.ok(pages[0].includes(words), `${words} in ${pages[0]}`);

  assert.equal(await page.evaluate(() => window.jihankobo.printWorksheet(-1, true)), '');
  await printed(page, 2);
  const blank = path.join(work, 'worksheet-blank.pdf');
  await page.pdf({ path: blank, preferCSSPageSize: true });
  const all = pdfPages(blank);
  assert.ok(all.length >= 3, `${all.length} pages`);
  assert.ok(all.join('').includes('商品排出（）番の商品を（）番の出口へ'), all.join('\n---\n'));

  // A part without a program is refused with the module's message, and nothing is printed.
  const empty = await page.evaluate(() => window.jihankobo.printWorksheet(30, false));
  assert.equal(empty, 'このパーツにはプログラムがないので、ワークシートを作れません。');
  assert.equal(await page.evaluate(() => window.printed), 2);
  await context.close();
});
