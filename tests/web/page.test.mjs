// The machine in the browser, used as a pupil would: Debian's chromium driven by playwright-core
// with real mouse and touch input, on machines written by the core (web_fixtures), against the
// site built by scripts/web.sh. Saved bytes are compared with what jihankobo-sim saves.
//
// usage: node page.test.mjs --web-out DIR --fixtures TOOL --sim SIM --app-dir DIR --work DIR [--site DIR]
//   --site DIR uses an already built site as it is (no build).
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import {
  arg, fixtures, baseUrl, browser, openPage, scene, pixels, client, centre, partOfKind, visibleCoin,
  mouseDrag, fingerDrag, press, dialogText, simSaves,
} from './harness.mjs';

// A whole purchase as a pupil makes it: 100 and 50 yen into the slot, the button, the change
// lever, 停止. The lamp, the product and the change are checked on the drawn stage.
async function purchase(page, touch) {
  let s = await scene(page);
  const idleOutlet = await pixels(page, partOfKind(s, 6));
  await page.click('#cmdStart');
  await page.waitForFunction(() => document.getElementById('lblNowState').textContent === '実行中');
  s = await scene(page);
  const slot = partOfKind(s, 2), button = partOfKind(s, 1), outlet = partOfKind(s, 6), lever = partOfKind(s, 7);
  const unlit = await pixels(page, button);
  const emptyOutlet = await pixels(page, outlet);
  for (const d of [2, 3]) {
    const coin = visibleCoin(s, d);
    assert.ok(coin, `a coin of denomination ${d} is in the wallet`);
    const drag = touch ? fingerDrag : mouseDrag;
    await drag(page, centre(coin), centre(slot));
    s = await scene(page);
  }
  assert.equal(partOfKind(s, 3).digits, '150', 'the amount display shows 150');
  assert.notEqual(await pixels(page, button), unlit, 'the button lamp is lit on the stage');
  await press(page, button, touch);
  // The product drops once its sound has played, as on the desktop.
  await page.waitForFunction(() => JSON.parse(window.jihankobo.machine.scene()).products.some(p => p.visible));
  s = await scene(page);
  assert.notEqual(await pixels(page, outlet), emptyOutlet, 'a product lies on the outlet');
  await press(page, lever, touch);
  assert.equal(await dialogText(page), 'お釣が30円でました');
  await page.keyboard.press('Enter');
  await page.locator('#dialog-layer').waitFor({ state: 'hidden' });
  await page.click('#cmdStop');
  await page.waitForFunction(() => document.getElementById('lblNowState').textContent === '編集中');
  s = await scene(page);
  assert.equal(s.products.length, 0, 'the product goes away on 停止');
  assert.equal(await pixels(page, outlet), idleOutlet, 'the outlet is drawn empty again');
}

// ---- the cases ----
test('a purchase with the mouse; the recovery copy is offered; the saved bytes are the simulator\'s', async () => {
  const context = await browser.newContext({ viewport: { width: 1000, height: 700 }, acceptDownloads: true });
  const page = await openPage(context);
  await page.setInputFiles('#open-input', path.join(fixtures, 'vending.jhk'));
  await page.waitForFunction(() => document.documentElement.dataset.opened === 'vending.jhk');
  await purchase(page, false);

  // One product fewer in stock is a change: kept in the browser within 5 seconds and offered
  // at the next visit.
  assert.equal(await page.evaluate(() => window.jihankobo.machine.isModified()), true);
  await page.waitForFunction(() => document.documentElement.dataset.recovery, null, { timeout: 5000 });
  const again = await context.newPage();
  await again.goto(baseUrl);
  // The desktop's question, with when the copy was made.
  assert.match(await dialogText(again), /^前回、保存されずに終了したマシンがあります。復元しますか？\n（\d{4}年\d\d月\d\d日 \d\d:\d\d に記録されたものです）$/);
  await again.keyboard.press('Enter');
  await again.waitForFunction(() => JSON.parse(window.jihankobo.machine.scene()).parts.length === 6);
  assert.equal(await again.evaluate(() => window.jihankobo.machine.isModified()), true, 'a restored machine is not saved yet');
  await again.close({ runBeforeUnload: false });

  // Saving in a browser without File System Access: the file is downloaded under its name.
  await page.evaluate(() => { window.showSaveFilePicker = undefined; });
  const [download] = await Promise.all([page.waitForEvent('download'), page.keyboard.press('Control+S')]);
  assert.equal(download.suggestedFilename(), 'vending.jhk');
  const saved = fs.readFileSync(await download.path());
  const expected = simSaves('run\ncoin 100\ncoin 50\ntouch 1\ntouch 5\nstop\n');
  assert.ok(saved.equals(expected), `saved bytes (${saved.length}) equal jihankobo-sim's (${expected.length})`);
  assert.equal(await page.evaluate(() => window.jihankobo.machine.isModified()), false);
  await context.close();
});

test('a purchase with a finger on a tablet', async () => {
  const context = await browser.newContext({ viewport: { width: 1024, height: 768 }, hasTouch: true, isMobile: true, deviceScaleFactor: 2 });
  const page = await openPage(context, '?machine=test-vending.jhk');
  await page.waitForFunction(() => JSON.parse(window.jihankobo.machine.scene()).parts.length === 6);
  await purchase(page, true);
  await context.close();
});

test('a program that loops is stopped by 停止 at once', async () => {
  const context = await browser.newContext({ viewport: { width: 777, height: 529 } });
  const page = await openPage(context);
  await page.setInputFiles('#open-input', path.join(fixtures, 'looping.jhk'));
  await page.waitForFunction(() => document.documentElement.dataset.opened === 'looping.jhk');
  await page.click('#cmdStart');
  const s = await scene(page);
  await press(page, partOfKind(s, 1), false);
  await page.waitForFunction(() => JSON.parse(window.jihankobo.machine.scene()).products.length >= 2, null, { timeout: 5000 });
  assert.ok((await scene(page)).runList.length > 0, 'the program is running');
  const t0 = Date.now();
  await page.click('#cmdStop');
  await page.waitForFunction(() => document.getElementById('lblNowState').textContent === '編集中', null, { timeout: 1000 });
  assert.ok(Date.now() - t0 < 1000, `stopped in ${Date.now() - t0} ms`);
  const after = (await scene(page)).runList.length;
  await page.waitForTimeout(300);
  assert.equal((await scene(page)).runList.length, after, 'nothing runs after 停止');
  await context.close();
});

test('a damaged file gives the reader\'s message and leaves the page as it was', async () => {
  const context = await browser.newContext({ viewport: { width: 777, height: 529 } });
  const page = await openPage(context, '?machine=test-vending.jhk');
  // What the page shows, less the state label's blinking colour.
  const shown = () => page.evaluate(() => { const s = JSON.parse(window.jihankobo.machine.scene()); delete s.stateColor; return JSON.stringify(s); });
  const before = await shown();
  await page.setInputFiles('#open-input', path.join(fixtures, 'damaged.jhk'));
  const text = await dialogText(page);
  // The simulator reports the reader's message as "message<TAB>text" with line breaks as \n.
  const sim = spawnSync(arg('sim'), ['--app-dir', arg('app-dir'), path.join(fixtures, 'damaged.jhk')], { input: '', encoding: 'utf8' });
  const expected = /^message\t(.*)$/m.exec(sim.stdout)?.[1]?.replace(/\\n/g, '\n');
  assert.ok(expected, `the simulator refuses the file too: ${sim.stdout}${sim.stderr}`);
  assert.equal(text, expected);
  await page.keyboard.press('Enter');
  assert.ok((await shown()) === before, 'the machine on the page is unchanged');
  await context.close();
});

test('the page reloads and runs with the network cut off', async () => {
  const context = await browser.newContext({ viewport: { width: 777, height: 529 } });
  const page = await openPage(context);
  await page.evaluate(() => navigator.serviceWorker.ready);
  await page.reload();
  await page.waitForFunction(() => document.documentElement.dataset.ready === '2');
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
  await context.setOffline(true);
  await page.reload();
  await page.waitForFunction(() => document.documentElement.dataset.ready === '2', null, { timeout: 15000 });
  await page.setInputFiles('#open-input', path.join(fixtures, 'vending.jhk'));
  await page.waitForFunction(() => document.documentElement.dataset.opened === 'vending.jhk');
  await purchase(page, false);
  await context.close();
});

// The run view's flowchart canvas: the colour of a canvas pixel (canvas pixels of the drawing,
// the flowchart's origin 6 pixels in).
async function chartPixel(page, x, y) {
  await page.evaluate(() => new Promise(res => requestAnimationFrame(() => requestAnimationFrame(res))));
  return page.evaluate(({ x, y }) => {
    const d = document.getElementById('runFlowchart').getContext('2d').getImageData(Math.round(x) + 6, Math.round(y) + 6, 1, 1).data;
    return [d[0], d[1], d[2]];
  }, { x, y });
}
const runView = page => page.evaluate(() => JSON.parse(window.jihankobo.machine.runView()));
const near = (a, b) => a.every((v, i) => Math.abs(v - b[i]) <= 40);
const rgb = css => [1, 3, 5].map(i => parseInt(css.slice(i, i + 2), 16));

test('the run view shows the program that runs, its path and the values, at the speed chosen', async () => {
  const context = await browser.newContext({ viewport: { width: 1600, height: 640 } });
  const page = await openPage(context, '?machine=test-vending.jhk');
  await page.waitForFunction(() => JSON.parse(window.jihankobo.machine.scene()).parts.length === 6);
  // Opened from the menu with the mouse; beside the window, which stays uncovered.
  await page.click('#menu-bar [data-menu=option]');
  await page.click('#menu-option [data-command=runview]');
  const win = await page.locator('#main-window').boundingBox();
  const rv = await page.locator('#runview').boundingBox();
  assert.ok(rv.x >= win.x + win.width - 1, 'the run view opens beside the main window');
  assert.deepEqual(await page.locator('#runview .rv-speed label').allInnerTexts(), ['ふつう', '0.2秒', '0.5秒', '1秒']);

  await page.click('#cmdStart');
  let s = await scene(page);
  const slot = partOfKind(s, 2), button = partOfKind(s, 1);
  await mouseDrag(page, centre(visibleCoin(s, 2)), centre(slot));
  // The coin slot's program ran: its title, its path drawn in the path's colour, the amount marked.
  await page.waitForFunction(() => document.getElementById('runViewTitle').textContent.includes('投入口'));
  let v = await runView(page);
  const f = v.flowchart;
  assert.ok(f.pathLines.length > 0, 'the coin slot\'s path is known');
  const first = f.boxes.find(b => b.slot === 0), second = f.boxes.find(b => b.slot === 1);
  // Half way along the link from block 0 down to block 1, between the boxes.
  const linkX = first.x + first.w / 2, linkY = (first.y + first.h + second.y) / 2;
  assert.ok(near(await chartPixel(page, linkX, linkY), rgb(f.pathColour)), 'the path is drawn between the blocks it took');
  const cells = await page.locator('#runViewTable td.flash').allInnerTexts();
  assert.ok(cells.some(t => t === '金額 100'), `the amount that changed is marked: ${cells}`);
  assert.ok((await page.locator('#runViewLog').innerText()).includes('Money_1.wav'), 'the coin\'s sound is in the log');

  // 1秒: each block stays marked a second before the next one runs.
  await page.click('#runSpeed3');
  await mouseDrag(page, centre(visibleCoin(s, 3)), centre(slot));
  await page.waitForFunction(() => JSON.parse(window.jihankobo.machine.runView()).programRunning, null, { timeout: 3000 });
  v = await runView(page);
  assert.equal(v.blockDelayMs, 1000);
  const running = v.flowchart.running;
  assert.ok(running, 'a block is being executed');
  assert.ok(near(await chartPixel(page, running.x - 2, running.y + running.h / 2), rgb(v.flowchart.runningColour)),
    'the block being executed is framed');
  // The lamp lights at the third block, two seconds on.
  const lamp = view => view.rows.find(r => r.slot === button.slot).cells[0].value;
  assert.equal(lamp(v), '消灯', 'the program goes slowly');
  const t0 = Date.now();
  await page.waitForFunction(() => !JSON.parse(window.jihankobo.machine.runView()).programRunning, null, { timeout: 15000 });
  assert.ok(Date.now() - t0 >= 1500, `the last blocks took ${Date.now() - t0} ms`);
  assert.equal(lamp(await runView(page)), '点灯');

  // Closed, the machine runs at full speed again, and the choice is kept for the next time.
  await page.click('#runview .title button');
  assert.equal((await runView(page)).blockDelayMs, 0);
  await press(page, button, false);
  await page.waitForFunction(() => JSON.parse(window.jihankobo.machine.scene()).products.some(p => p.visible));
  await page.click('#cmdRunView');
  assert.equal(await page.locator('#runSpeed3').isChecked(), true);
  await page.click('#cmdStop');
  await context.close();
});

test('the selected part\'s panel: its place, name and number, while editing and in a run', async () => {
  const context = await browser.newContext({ viewport: { width: 777, height: 529 } });
  const page = await openPage(context, '?machine=test-vending.jhk');
  await page.waitForFunction(() => JSON.parse(window.jihankobo.machine.scene()).parts.length === 6);
  const text = id => page.locator('#' + id).innerText();
  const s = await scene(page);
  const counter = partOfKind(s, 3), button = partOfKind(s, 1);
  // A click on a part while editing selects it.
  await press(page, counter, false);
  await page.waitForFunction(() => document.getElementById('lblPartsID').textContent.startsWith('パーツ番号：'));
  assert.equal(await text('Label1'), `Ｘ座標：${counter.x}`);
  assert.equal(await text('Label2'), `Ｙ座標：${counter.y}`);
  assert.equal(await text('lbl_PartsName'), '金額表示');
  assert.equal(await text('lblPartsID'), `パーツ番号：${counter.slot}`);
  assert.equal(await page.locator('#pic_SelectParts').isVisible(), true, 'the palette picture of its kind');
  assert.match(await page.locator('#pic_SelectParts').getAttribute('src'), /palette_3\./);
  // In a run the part pressed is named, with its place.
  await page.click('#cmdStart');
  await press(page, button, false);
  await page.waitForFunction(() => document.getElementById('lbl_PartsName').textContent === 'ボタン');
  assert.equal(await text('Label1'), `Ｘ座標：${button.x}`);
  assert.equal(await text('lblPartsID'), `パーツ番号：${button.slot}`);
  await page.click('#cmdStop');
  await context.close();
});
