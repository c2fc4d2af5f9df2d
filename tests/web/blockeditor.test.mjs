// The block editor in the browser, used as a pupil would with the mouse and with a finger: the
// button's program of the desktop's block-editor test built from an empty flowchart (the same
// blocks, their operands picked on the stage, the links), 決定, saved; jihankobo-sim sells a
// drink with the saved machine and the program is the one the desktop test builds. キャンセル
// after edits leaves the part as it was; the editor's own undo and redo. The page holds no rule.
//
// usage: node blockeditor.test.mjs --web-out DIR --fixtures TOOL --sim SIM --app-dir DIR --work DIR
//        --machine TOOL (blockeditor_e2e_machine) --expected FILE (the desktop test's program) [--site DIR]
import { test, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import {
  arg, work, site, browser, openPage, scene, dialogText, run, editor, hand, openEditor, pickOperand,
} from './harness.mjs';

const shots = path.join(work, 'screenshots');
fs.mkdirSync(shots, { recursive: true });
// The desktop test's machine: a button (slot 0) without a program, a product (1) of 120 yen,
// a product outlet (2), an amount display (3) and a coin slot (4) with its program.
run(arg('machine'), [path.join(site, 'test-button.jhk')]);
after(() => fs.rmSync(path.join(site, 'test-button.jhk'), { force: true }));
const expected = JSON.parse(fs.readFileSync(arg('expected'), 'utf8'));
const Slot = { button: 0, product: 1, outlet: 2, counter: 3, coinSlot: 4 };
const Entry = { discharge: 0, lampOff: 2, subtract: 4, branch: 8 };

// The flowchart's cells, as the desktop test reaches them: canvas pixels.
const CellW = 1323 / 15, CellH = 551 / 15;
const dropPoint = (c, r) => [c * CellW + 40, r * CellH + 18];
const boxCentre = (c, r) => [Math.trunc(c * CellW) + 36, Math.trunc(r * CellH) + 12];
const StartBox = [36, 12];
const EndBox = [36, 408 + 12];

// The window shows `text` in the element (drawn in the next frame after a change).
async function shows(page, selector, text) {
  try {
    await page.waitForFunction(([sel, t]) => document.querySelector(sel)?.textContent === t, [selector, text], { timeout: 3000 });
  } catch {
    assert.equal(await page.locator(selector).innerText(), text);
  }
}

// The button's program of the desktop test, built from its empty flowchart.
async function buildButtonProgram(page, h) {
  await h.dragEntry(Entry.branch, dropPoint(1, 1));     // 0 条件分岐
  await h.dragEntry(Entry.discharge, dropPoint(1, 3));  // 1 商品排出
  await h.dragEntry(Entry.subtract, dropPoint(1, 5));   // 2 カウンター減算
  await h.dragEntry(Entry.lampOff, dropPoint(1, 7));    // 3 購買可ランプ消灯
  let e = await editor(page);
  assert.deepEqual(e.flowchart.boxes.map(b => b.caption), ['0条件分岐', '1商品排出', '2カウンター減算', '3購買可ランプ消灯']);
  assert.equal(e.info.blockCount, 'ブロックの数 ：4');

  // The branch: is the button's own buy lamp lit?
  await h.doubleCanvas(boxCentre(1, 1));
  await page.locator('#frmBDialog').waitFor();
  assert.equal(await page.locator('#frmBDialog #lblBlockName').innerText(), '0条件分岐');
  await pickOperand(page, h, 1, Slot.button, 0);
  await shows(page, '#lblHikisuu0', '0:ボタン');
  await shows(page, '#lblHikisuu1', '購買可ランプ');
  assert.equal(await page.locator('#Combo2').isVisible(), true, 'a lamp is compared with a lamp state');
  await page.selectOption('#Combo1', '=');
  await page.selectOption('#Combo2', '点灯');
  await page.screenshot({ path: path.join(shots, `detail-branch${h.touch ? '-touch' : ''}.png`) });
  await h.press('#frmBDialog #cmdOK');
  await page.locator('#frmBDialog').waitFor({ state: 'detached' });

  // 商品排出: which product, onto which part; カウンター減算: from the amount display, the
  // product's price. Two operands each, both picked on the stage.
  const twoOperands = [[3, [Slot.product, Slot.outlet], ['1:商品', '2:商品出口']], [5, [Slot.counter, Slot.product], ['3:金額表示', '1:商品']]];
  for (const [row, parts, shown] of twoOperands) {
    await h.doubleCanvas(boxCentre(1, row));
    await page.locator('#frmBDialog').waitFor();
    await pickOperand(page, h, 1, parts[0]);
    await pickOperand(page, h, 2, parts[1]);
    assert.deepEqual(await page.locator('#lblHikisuu0, #lblHikisuu1').allInnerTexts(), shown);
    await h.press('#frmBDialog #cmdOK');
    await page.locator('#frmBDialog').waitFor({ state: 'detached' });
  }

  // 購買可ランプ消灯: the button's own lamp; one operand, one "指定".
  await h.doubleCanvas(boxCentre(1, 7));
  await page.locator('#frmBDialog').waitFor();
  assert.equal(await page.locator('#cmbSet2').isVisible(), false);
  await pickOperand(page, h, 1, Slot.button);
  await h.press('#frmBDialog #cmdOK');
  await page.locator('#frmBDialog').waitFor({ state: 'detached' });
  e = await editor(page);
  assert.deepEqual(e.flowchart.boxes.map(b => b.complete), [true, true, true, true], 'every block complete');

  // The execution order: start → 0; 0 成立 → 1, 不成立 → end; 1 → 2 → 3 → end.
  await h.doubleCanvas(StartBox);
  await h.answer('一番始めに動作するブロックを選択して下さい');
  await h.tapCanvas(boxCentre(1, 1));
  const links = [[[1, 1], 0, boxCentre(1, 3)], [[1, 1], 1, EndBox], [[1, 3], 0, boxCentre(1, 5)],
    [[1, 5], 0, boxCentre(1, 7)], [[1, 7], 0, EndBox]];
  for (const [source, exit, target] of links) {
    await h.tapCanvas(boxCentre(...source));
    await h.press(`#cmb_NextBlockSitei${exit}`);
    await h.answer(`次に実行するブロックその${exit ? '２' : '１'}を選択してください`);
    assert.equal(await page.locator('#blockEditorCaption').innerText(), `ジハンコウボウ　次に実行するブロック${exit ? '２' : '１'}を選択中`);
    await h.tapCanvas(target);
  }
  await h.tapCanvas(boxCentre(1, 1));
  e = await editor(page);
  assert.deepEqual(e.order.fields.map(f => f.text), ['1', '終了'], 'the branch shows both its exits');
  assert.deepEqual(e.flowchart.connectors.filter(c => c.type === 'text').map(c => c.text), ['成立', '不成立']);
}

async function savedMachine(page, name) {
  await page.evaluate(() => { window.showSaveFilePicker = undefined; }); // a download, as where the browser cannot save in place
  const [download] = await Promise.all([page.waitForEvent('download'), page.keyboard.press('Control+S')]);
  const file = path.join(work, name);
  fs.copyFileSync(await download.path(), file);
  return file;
}

// The saved machine sells a drink with the button's new program (the desktop test's script and
// checks), and the program equals the one the desktop test builds.
function sellsWithProgram(file) {
  const program = JSON.parse(run(arg('machine'), ['--program', file, '0'], { encoding: 'utf8' }).stdout);
  assert.deepEqual(program, expected);
  const out = run(arg('sim'), ['--app-dir', arg('app-dir'), file],
    { input: 'touch 0\nrun\ntouch 0\ncoin 100\ncoin 10\ncoin 10\ntouch 0\nstate\n', encoding: 'utf8' }).stdout;
  const lines = out.split('\n');
  const state = JSON.parse(lines.find(l => l.startsWith('state\t')).split('\t')[1]);
  const parts = Object.fromEntries(state.parts.map(p => [p.slot, p]));
  assert.equal(state.discharged, 1, 'one product discharged');
  assert.equal(lines.filter(l => l === 'sound\tkan.wav\tsync').length, 1);
  assert.deepEqual([parts[3].a, parts[3].display], [0, '0'], 'the price subtracted');
  assert.equal(parts[0].a, 0, 'the buy lamp off again');
}

for (const touch of [false, true]) {
  test(`the button's program built ${touch ? 'with a finger' : 'with the mouse'}, 決定, saved and sold with`, async () => {
    const context = await browser.newContext({ viewport: { width: 1100, height: 720 }, acceptDownloads: true, hasTouch: touch });
    const page = await openPage(context, '?machine=test-button.jhk');
    await page.waitForFunction(() => document.documentElement.dataset.opened === 'test-button.jhk');
    const h = { ...hand(page, touch), touch };
    await openEditor(page, h, Slot.button);
    let e = await editor(page);
    assert.equal(e.caption, 'ジハンコウボウ');
    assert.deepEqual(e.tabs.map(t => t.caption), ['標準', '自販機１', '制御']);
    assert.equal(e.tabs[1].entries[3], '投入金加算(使用不可)');
    assert.equal(await page.locator('#cmb_DelBlock').isDisabled(), true, 'nothing to delete yet');

    await buildButtonProgram(page, h);
    await page.screenshot({ path: path.join(shots, `button-program${touch ? '-touch' : ''}.png`) });
    // The editor window alone, the branch selected (docs/web-blockeditor-branch.png).
    await page.locator('#frmBLock').screenshot({ path: path.join(shots, `blockeditor-branch${touch ? '-touch' : ''}.png`) });
    // Without a keyboard the editor's undo and redo are buttons: the last link taken back and made again.
    assert.equal(await page.locator('#cmdEditorUndo').isVisible(), touch);
    if (touch) {
      const lines = async () => (await editor(page)).flowchart.connectors.filter(c => c.type === 'line').length;
      const linked = await lines();
      await h.press('#cmdEditorUndo');
      assert.ok(await lines() < linked, 'the last link taken back');
      await h.press('#cmdEditorRedo');
      assert.equal(await lines(), linked);
    }
    // The run view shows the program being edited.
    const rv = await page.evaluate(() => JSON.parse(window.jihankobo.machine.runView()));
    assert.equal(rv.flowchart.boxes.length, 4);

    // ワークシートを保存...: a page per part with a program (the button's and the coin slot's),
    // handed to the browser's print.
    await page.evaluate(() => { window.print = () => { window.printedPages = document.querySelectorAll('#print-area .print-page').length; }; });
    await h.press('#cmdWorksheet');
    await h.press('#mnuWorksheet button:nth-child(2)'); // 空欄のワークシート
    await page.waitForFunction(() => window.printedPages !== undefined);
    assert.equal(await page.evaluate(() => window.printedPages), 2);
    assert.match(await page.locator('#print-area .print-page').first().textContent(), /条件分岐/);

    await h.press('#SSCommand1');
    await page.locator('#frmBLock').waitFor({ state: 'detached' });
    const s = await scene(page);
    assert.equal(s.controls.undo, true, 'the editor\'s session is a step of the main window\'s history');
    sellsWithProgram(await savedMachine(page, `button${touch ? '-touch' : ''}.jhk`));

    // Undone on the main window, the whole session goes at once: the button has no program again.
    await page.keyboard.press('Control+Z');
    await openEditor(page, h, Slot.button);
    assert.equal((await editor(page)).flowchart.boxes.length, 0);
    await h.press('#cmd_Cancel');
    await context.close();
  });
}

test('キャンセル after edits leaves the part as it was; the editor\'s own undo and redo', async () => {
  const context = await browser.newContext({ viewport: { width: 1100, height: 720 }, acceptDownloads: true });
  const page = await openPage(context, '?machine=test-button.jhk');
  await page.waitForFunction(() => document.documentElement.dataset.opened === 'test-button.jhk');
  const h = hand(page, false);
  const before = await page.evaluate(() => Array.from(window.jihankobo.machine.saveBytes()));

  // The coin slot's program: a block dropped, one moved, one deleted, a link and a value changed.
  await openEditor(page, h, Slot.coinSlot);
  assert.deepEqual((await editor(page)).flowchart.boxes.map(b => b.caption), ['0投入金加算', '1条件分岐', '2購買可ランプ点灯']);
  await h.dragEntry(Entry.discharge, dropPoint(2, 2));
  await h.dragCanvas(boxCentre(0, 1), boxCentre(2, 1));
  let e = await editor(page);
  assert.deepEqual(e.flowchart.boxes.map(b => [b.caption, Math.round(b.x)]),
    [['0投入金加算', 176], ['1条件分岐', 0], ['2購買可ランプ点灯', 0], ['3商品排出', 176]]);
  await h.tapCanvas(boxCentre(0, 3));
  await h.press('#cmb_DelBlock');
  await h.tapCanvas(boxCentre(2, 1));
  await h.press('#cmb_NextBlockSitei0');
  await h.answer('次に実行するブロックその１を選択してください');
  await h.tapCanvas(boxCentre(2, 2));
  e = await editor(page);
  assert.deepEqual(e.flowchart.boxes.map(b => b.caption), ['0投入金加算', '2購買可ランプ点灯', '3商品排出']);

  // The editor's own history: Ctrl+Z takes back the link, the deletion and the move in turn,
  // Ctrl+Y does them again.
  await page.keyboard.press('Control+Z');
  await page.keyboard.press('Control+Z');
  e = await editor(page);
  assert.deepEqual(e.flowchart.boxes.map(b => b.caption), ['0投入金加算', '1条件分岐', '2購買可ランプ点灯', '3商品排出'], 'the deletion undone');
  assert.equal(e.redo, true);
  await page.keyboard.press('Control+Y');
  e = await editor(page);
  assert.deepEqual(e.flowchart.boxes.map(b => b.caption), ['0投入金加算', '2購買可ランプ点灯', '3商品排出'], 'and done again');
  assert.equal(await page.evaluate(() => window.jihankobo.machine.canUndo()), false, 'the main window\'s history waits');

  // キャンセル: the part exactly as it was opened, and nothing for the main window to undo.
  await h.press('#cmd_Cancel');
  await page.locator('#frmBLock').waitFor({ state: 'detached' });
  const afterCancel = await page.evaluate(() => Array.from(window.jihankobo.machine.saveBytes()));
  assert.deepEqual(afterCancel, before);
  assert.equal((await scene(page)).controls.undo, false);

  // The product's price typed into the part information: above 10000 is refused with the
  // desktop's message and the window stays; 10000 is stored by 決定.
  await openEditor(page, h, Slot.product);
  assert.equal(await page.locator('#LabelA').innerText(), '値段');
  await page.locator('#TextHennsuu0').fill('10001');
  await h.press('#SSCommand1');
  await h.answer('10000以下に設定して下さい');
  assert.equal(await page.locator('#frmBLock').isVisible(), true);
  assert.equal(await page.inputValue('#TextHennsuu0'), '120', 'the stored value back in the field');
  await page.locator('#TextHennsuu0').fill('10000');
  await h.press('#SSCommand1');
  await page.locator('#frmBLock').waitFor({ state: 'detached' });
  await openEditor(page, h, Slot.product);
  assert.equal((await editor(page)).info.rows[0].text, '10000');
  await h.press('#cmd_Cancel');
  await context.close();
});

test('a pick on the stage given up with Escape or 中止; a stock count typed in with the desktop\'s limits', async () => {
  const context = await browser.newContext({ viewport: { width: 1100, height: 720 } });
  const page = await openPage(context, '?machine=test-button.jhk');
  await page.waitForFunction(() => document.documentElement.dataset.opened === 'test-button.jhk');
  const h = hand(page, false);
  await openEditor(page, h, Slot.button);
  await h.dragEntry(Entry.branch, dropPoint(1, 1));
  await h.doubleCanvas(boxCentre(1, 1));
  await page.locator('#frmBDialog').waitFor();
  for (const giveUp of ['Escape', '中止']) {
    await h.press('#cmbSet1');
    await page.locator('.be-layer').waitFor({ state: 'hidden' });
    if (giveUp === 'Escape') await page.keyboard.press('Escape');
    else await h.press('#cmdPickCancel');
    await page.locator('#frmBDialog').waitFor();
    await shows(page, '#lblHikisuu0', '未設定');
    assert.equal((await scene(page)).pickHint, '');
  }
  // The left side a product's stock count: the right side is a number typed in.
  await pickOperand(page, h, 1, Slot.product, 1);
  await shows(page, '#lblHikisuu1', '在庫数');
  for (const [typed, refusal] of [['1001', '在庫数比較：0以上1000以下の数値を入力して下さい'], ['いくつ', '数値以外は受け付けられません'], ['1000', null]]) {
    await h.press('#cmbSet3');
    assert.equal(await dialogText(page), '在庫数比較：0以上1000以下の数値を入力して下さい');
    await page.locator('#dialog-layer input.answer').fill(typed);
    await page.keyboard.press('Enter');
    if (refusal) await h.answer(refusal);
  }
  await shows(page, '#lblHikisuu3', '1000');
  await page.keyboard.press('Escape'); // the dialog closes,
  await page.keyboard.press('Escape'); // then the editor, keeping its changes as its close box does
  await page.locator('#frmBLock').waitFor({ state: 'detached' });
  await context.close();
});

test('an undone program change says the stage looks the same, under the system frame', async () => {
  const context = await browser.newContext({ viewport: { width: 1000, height: 700 } });
  const page = await openPage(context, '?machine=test-button.jhk');
  await page.waitForFunction(() => document.documentElement.dataset.opened === 'test-button.jhk');
  const h = hand(page, false);
  // The coin slot's program loses its last block in the block editor; 決定 makes it one step.
  await openEditor(page, h, Slot.coinSlot);
  const last = (await editor(page)).flowchart.boxes.find(b => b.caption === '2購買可ランプ点灯');
  await h.tapCanvas([last.x + last.w / 2, last.y + last.h / 2]);
  await page.click('#cmb_DelBlock');
  await page.click('#SSCommand1');
  await page.locator('#frmBLock').waitFor({ state: 'detached' });
  assert.match(await page.locator('#menu-edit [data-command=undo]').innerText(), /^元に戻す「プログラムの変更」\(U\)/);

  await page.keyboard.press('Control+Z');
  const note = page.locator('#historyNote');
  await note.waitFor();
  assert.equal(await note.innerText(), '「プログラムの変更」を元に戻しました\n（ステージの見た目は変わりません）');
  // Right under the system frame, within the window.
  const [frame, box, window] = await Promise.all(['#framEDIT', '#historyNote', '#main-window'].map(s => page.locator(s).boundingBox()));
  assert.ok(Math.abs(box.y - (frame.y + frame.height)) <= 1 && box.x + box.width <= window.x + window.width, JSON.stringify({ frame, box }));
  await page.screenshot({ path: path.join(shots, 'undo-program-note.png') });
  // The next click takes it away.
  await page.mouse.click(window.x + 700, window.y + 500);
  await note.waitFor({ state: 'hidden' });
  await context.close();
});
