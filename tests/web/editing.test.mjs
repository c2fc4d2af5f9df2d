// Building a machine in the browser, used as a pupil would: parts dragged from the palette onto
// the stage with the mouse and with a finger, the property dialog after each drop, moving,
// deleting, a part's menu from a right-click or a long press, undo and redo. The page holds no
// rule: what it shows is compared with the desktop's texts and with what jihankobo-sim saves.
//
// usage: node editing.test.mjs --web-out DIR --fixtures TOOL --sim SIM --app-dir DIR --work DIR [--site DIR]
import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import {
  arg, work, fixtures, browser, openPage, scene, client, centre, mouseDrag, fingerDrag, fingerPath, dialogText,
  run, paletteCentre, dropPart,
} from './harness.mjs';

const shots = path.join(work, 'screenshots');
fs.mkdirSync(shots, { recursive: true });
const Kind = { product: 0, button: 1, slot: 2, display: 3, changeOutlet: 4, money: 5, outlet: 6, lever: 7 };

// The property dialog's visible boxes typed in, one value each in order, then 決定.
async function decide(page, values = [], touch = false) {
  const boxes = page.locator('#frmPDialog input[type=text]:visible');
  for (let i = 0; i < values.length; ++i) await boxes.nth(i).fill(String(values[i]));
  if (touch) await page.locator('#cmdOK').tap();
  else await page.click('#cmdOK');
}

// The start window of a new visit answered: level, background (its scroll bar), START.
async function start(page, level, background, touch) {
  await page.locator('#frmOpen').waitFor();
  const pressed = sel => (touch ? page.locator(sel).tap() : page.click(sel));
  await pressed(`#optLevel${level - 1}`);
  await page.locator('#frmOpen #HScroll1').fill(String(background));
  await pressed('#frmOpen #cmdOK');
  await page.locator('#frmOpen').waitFor({ state: 'detached' });
  await page.waitForFunction(l => JSON.parse(window.jihankobo.machine.scene()).level === l, level);
}

const visibleParts = s => s.parts.filter(p => p.visible);
// The window shows `text` in element `id` (drawn in the next frame after a change).
async function shows(page, id, text) {
  try {
    await page.waitForFunction(([id, text]) => document.getElementById(id).textContent === text, [id, text], { timeout: 3000 });
  } catch {
    assert.equal(await page.locator('#' + id).innerText(), text);
  }
}
// A finger's position on a scaled stage may fall a pixel either side.
const near = (p, x, y) => Math.abs(p.x - x) <= 1 && Math.abs(p.y - y) <= 1;
const partAt = (s, slot) => s.parts.find(p => p.slot === slot);

test('a machine built with the mouse: drops, the property dialog, moving, deleting, undo and redo', async () => {
  const context = await browser.newContext({ viewport: { width: 1000, height: 700 }, acceptDownloads: true });
  const page = await openPage(context);
  // A new visit starts with the start window: the levels with their descriptions.
  await page.locator('#frmOpen').waitFor();
  assert.deepEqual(await page.locator('#frmOpen [id^=lblSetsumei]').allInnerTexts(), [
    'パーツにはブロックが設定されています。', 'パーツごとに、設定できるブロックが制限されています。',
    'パーツ、ブロックを自由に選択し、設定する事ができます']);
  await page.screenshot({ path: path.join(shots, 'start-window.png') });
  await start(page, 3, 0, false);
  await shows(page, 'lblPartsCount', 'パーツの数：');

  // A product: its dialog shows the kind, the meanings of its values and the built-in picture.
  await dropPart(page, Kind.product, 40, 150, false);
  assert.equal(await page.locator('#lblPartsName').innerText(), '商品');
  assert.equal(await page.locator('#Label1_0').innerText(), '値段');
  assert.equal(await page.locator('#Label1_1').innerText(), '在庫数');
  assert.ok(await page.locator('#cmdOK').evaluate(b => b.classList.contains('default')));
  // The box of the variable a product does not use shows its value but takes no typing and is
  // out of the Tab order; the price and stock take both.
  assert.deepEqual(await page.locator('#frmPDialog input[id^=txtDHennsuu]').evaluateAll(
    boxes => boxes.map(b => [b.id, b.hidden, b.readOnly, b.tabIndex])),
  [['txtDHennsuu0', false, false, 0], ['txtDHennsuu1', false, false, 0], ['txtDHennsuu2', false, true, -1]]);
  await page.screenshot({ path: path.join(shots, 'property-dialog.png') });

  // Refused values give the desktop's messages and stay for the pupil to mend.
  await page.locator('#txtDHennsuu0').fill('ひゃく');
  await page.click('#cmdOK');
  assert.equal(await dialogText(page), '「値段」には数値を入力して下さい');
  await page.keyboard.press('Enter');
  assert.equal(await page.inputValue('#txtDHennsuu0'), 'ひゃく');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'txtDHennsuu0', 'the refused box has the keyboard');
  await page.locator('#txtDHennsuu0').fill('12000');
  await page.keyboard.press('Enter');
  assert.equal(await dialogText(page), '９９９９以下に設定して下さい');
  await page.keyboard.press('Enter');
  assert.equal(await page.inputValue('#txtDHennsuu0'), '0', 'a value out of range goes back to 0');
  await decide(page, ['１２０', 5]); // full-width digits, as the input method gives them
  await page.locator('#frmPDialog').waitFor({ state: 'detached' });

  let s = await scene(page);
  assert.equal(visibleParts(s).length, 1);
  const product = partAt(s, 0);
  assert.deepEqual([product.x, product.y, product.numberShown], [40, 150, true]);
  await shows(page, 'lblPartsCount', 'パーツの数：1個');
  assert.equal(s.controls.undo, true, 'the drop and its values are one step to undo');

  // The rest of a machine, each dropped on the bare stage.
  const rest = [[Kind.button, 40, 240], [Kind.slot, 300, 150], [Kind.display, 250, 60], [Kind.outlet, 120, 380], [Kind.lever, 300, 260]];
  for (const [kind, x, y] of rest) {
    await dropPart(page, kind, x, y, false);
    await decide(page);
  }
  s = await scene(page);
  assert.equal(visibleParts(s).length, 6);
  await shows(page, 'lblPartsCount', 'パーツの数：6個');

  // キャンセル takes the part just dropped away again, and leaves nothing to undo.
  // While its dialog is open the panel already names the part dropped, and afterwards the
  // part selected before again.
  await dropPart(page, Kind.changeOutlet, 330, 440, false);
  await shows(page, 'lbl_PartsName', '釣銭口');
  await shows(page, 'lblPartsID', 'パーツ番号：6');
  await page.click('#cmdCancel');
  await shows(page, 'lbl_PartsName', '釣レバー');
  s = await scene(page);
  assert.equal(visibleParts(s).length, 6);
  await shows(page, 'lblPartsCount', 'パーツの数：6個');
  await page.keyboard.press('Control+Z');
  assert.equal(visibleParts(await scene(page)).length, 5, 'undo takes back the lever, the last real edit');
  await page.keyboard.press('Control+Y');
  assert.equal(visibleParts(await scene(page)).length, 6);

  // Moving a part: pressed, dragged and let go; undo puts it back, Ctrl+Shift+Z moves it again.
  s = await scene(page);
  await mouseDrag(page, [centre(partAt(s, 0))[0], centre(partAt(s, 0))[1]], [centre(partAt(s, 0))[0] + 60, centre(partAt(s, 0))[1] + 20]);
  s = await scene(page);
  assert.deepEqual([partAt(s, 0).x, partAt(s, 0).y], [100, 170]);
  await shows(page, 'Label1', 'Ｘ座標：100');
  await shows(page, 'lbl_PartsName', '商品');
  await page.screenshot({ path: path.join(shots, 'editing.png') });
  await page.keyboard.press('Control+Z');
  s = await scene(page);
  assert.deepEqual([partAt(s, 0).x, partAt(s, 0).y], [40, 150]);
  await page.keyboard.press('Control+Shift+Z');
  s = await scene(page);
  assert.deepEqual([partAt(s, 0).x, partAt(s, 0).y], [100, 170]);

  // The 編集 menu does the same as its keys, and greys what there is nothing to do.
  await page.click('[data-menu=edit]');
  assert.equal(await page.locator('#menu-edit [data-command=redo]').isDisabled(), true);
  await page.click('#menu-edit [data-command=undo]');
  assert.deepEqual([partAt(await scene(page), 0).x], [40]);
  await page.click('[data-menu=edit]');
  await page.click('#menu-edit [data-command=redo]');
  assert.deepEqual([partAt(await scene(page), 0).x], [100]);

  // A part pressed is selected: パーツの削除 takes it away, Ctrl+Z brings it back with its values.
  await page.mouse.click(...await client(page, ...centre(partAt(s, 0))));
  await page.click('#cmd_DelParts');
  s = await scene(page);
  assert.equal(partAt(s, 0)?.visible ?? false, false);
  await shows(page, 'lblPartsCount', 'パーツの数： 5個');
  // The 編集 menu names the step it would take back, as the desktop's does.
  assert.match(await page.locator('#menu-edit [data-command=undo]').innerText(), /^元に戻す「パーツの削除」\(U\)/);
  await page.keyboard.press('Control+Z');
  s = await scene(page);
  assert.equal(partAt(s, 0).visible, true);
  assert.match(await page.locator('#menu-edit [data-command=redo]').innerText(), /^やり直し「パーツの削除」\(R\)/);

  // A right-click on a part: its menu, プロパティの変更... with what the part holds; キャンセル
  // keeps the part as it was.
  await page.mouse.click(...await client(page, ...centre(partAt(s, 0))), { button: 'right' });
  await page.locator('#mnuPartsPopup').waitFor();
  await page.click('#mnuPartsPopup >> text=プロパティの変更...');
  assert.equal(await page.inputValue('#txtDHennsuu0'), '120');
  assert.equal(await page.inputValue('#txtDHennsuu1'), '5');
  await page.locator('#txtDHennsuu0').fill('150');
  await page.keyboard.press('Escape');
  await page.locator('#frmPDialog').waitFor({ state: 'detached' });
  assert.equal(partAt(await scene(page), 0).visible, true);

  // Saved: jihankobo-sim reads what the page wrote, with the values typed.
  await page.evaluate(() => { window.showSaveFilePicker = undefined; });
  const [download] = await Promise.all([page.waitForEvent('download'), page.keyboard.press('Control+S')]);
  const saved = path.join(work, 'built.jhk');
  fs.copyFileSync(await download.path(), saved);
  const out = run(arg('sim'), ['--app-dir', arg('app-dir'), saved], { input: 'state\n', encoding: 'utf8' }).stdout;
  const state = JSON.parse(/^state\t(.*)$/m.exec(out)[1]);
  assert.equal(state.parts_count, 6);
  assert.deepEqual(state.parts.map(p => p.kind).sort(), [0, 1, 2, 3, 6, 7]);
  const saved0 = state.parts.find(p => p.slot === 0);
  assert.deepEqual([saved0.kind, saved0.a, saved0.b, saved0.left, saved0.top], [0, 120, 5, 1500, 2550], 'the price kept, the place moved to');
  await context.close();
});

test('a machine built with a finger: drops, moving, a long press for the part\'s menu', async () => {
  const context = await browser.newContext({ viewport: { width: 1024, height: 768 }, hasTouch: true, isMobile: true, deviceScaleFactor: 2 });
  const page = await openPage(context);
  // Level 1 on the third background, chosen with a finger.
  await start(page, 1, 2, true);
  let s = await scene(page);
  assert.equal(s.background, '\\BG\\BG2.bmp');
  await shows(page, 'lbl_LEVEL', 'レベル1');
  await dropPart(page, Kind.product, 60, 150, true);
  await decide(page, [100, 2], true);
  await dropPart(page, Kind.slot, 250, 150, true);
  await page.locator('#cmdCancel').tap();
  s = await scene(page);
  assert.equal(visibleParts(s).length, 1, 'キャンセル with a finger takes the part away');

  // A finger moves the product.
  await fingerDrag(page, centre(partAt(s, 0)), [centre(partAt(s, 0))[0] + 40, centre(partAt(s, 0))[1] + 100]);
  s = await scene(page);
  assert.ok(near(partAt(s, 0), 100, 250), JSON.stringify(partAt(s, 0)));
  const moved = [partAt(s, 0).x, partAt(s, 0).y];

  // Held still, the finger opens the part's menu; the part stays where it is.
  const at = await client(page, ...centre(partAt(s, 0)));
  await fingerPath(page, at, at, 900);
  await page.locator('#mnuPartsPopup').waitFor({ timeout: 3000 });
  await page.screenshot({ path: path.join(shots, 'long-press-menu.png') });
  await page.locator('#mnuPartsPopup button').tap();
  await page.locator('#frmPDialog').waitFor();
  assert.equal(await page.inputValue('#txtDHennsuu0'), '100');
  await page.locator('#txtDHennsuu0').fill('130');
  await page.locator('#cmdOK').tap();
  await page.locator('#frmPDialog').waitFor({ state: 'detached' });
  s = await scene(page);
  assert.deepEqual([partAt(s, 0).x, partAt(s, 0).y], moved, 'the part held still stays where it is');
  // The value changed is a step of its own: undo gives the old price back.
  await page.evaluate(() => window.jihankobo.command('undo'));
  await page.evaluate(() => window.jihankobo.machine.changeProperties(0));
  assert.equal(await page.inputValue('#txtDHennsuu0'), '100');
  await page.locator('#cmdCancel').tap();

  // Level 1's exercise steps from the ステップ menu.
  await page.locator('[data-menu=step]').tap();
  await page.locator('#menu-step [data-command=step3]').tap();
  await shows(page, 'lblNowStep', 'ステップ3');
  assert.equal((await scene(page)).step, 3);
  await page.locator('[data-menu=step]').tap();
  assert.equal(await page.locator('#menu-step [data-command=step3]').getAttribute('aria-checked'), 'true');
  await page.screenshot({ path: path.join(shots, 'step-menu.png') });
  await context.close();
});

test('a part deleted with its program comes back with it on Ctrl+Z', async () => {
  const context = await browser.newContext({ viewport: { width: 1000, height: 700 }, acceptDownloads: true });
  const page = await openPage(context, '?machine=test-vending.jhk');
  await page.waitForFunction(() => JSON.parse(window.jihankobo.machine.scene()).parts.length === 6);
  const s = await scene(page);
  const button = s.parts.find(p => p.kind === Kind.button);
  await page.mouse.click(...await client(page, ...centre(button)));
  // Selected, the button is the machine's current part: that is saved too.
  const selected = Buffer.from(await page.evaluate(() => Array.from(window.jihankobo.machine.saveBytes())));
  await page.click('#cmd_DelParts');
  assert.equal((await scene(page)).parts.filter(p => p.visible).length, 5);
  await page.keyboard.press('Control+Z');
  assert.equal((await scene(page)).parts.filter(p => p.visible).length, 6);
  // Everything is back: the bytes saved are those of the machine before the deletion.
  await page.evaluate(() => { window.showSaveFilePicker = undefined; });
  const [download] = await Promise.all([page.waitForEvent('download'), page.keyboard.press('Control+S')]);
  const file = path.join(work, 'restored.jhk');
  fs.copyFileSync(await download.path(), file);
  assert.ok(fs.readFileSync(file).equals(selected), 'saved bytes equal the machine\'s before the deletion');
  const out = run(arg('sim'), ['--app-dir', arg('app-dir'), file], { input: 'state\n', encoding: 'utf8' }).stdout;
  const restored = JSON.parse(/^state\t(.*)$/m.exec(out)[1]).parts.find(p => p.kind === Kind.button);
  assert.equal(restored.block_count, 6, 'the button has its program again');
  await context.close();
});

test('a label dropped from the palette and changed in its editor; undo takes the change back', async () => {
  const context = await browser.newContext({ viewport: { width: 1000, height: 700 } });
  const page = await openPage(context);
  await start(page, 3, 0, false);
  const from = await paletteCentre(page, 8);
  await page.mouse.move(...from);
  await page.mouse.down();
  await page.mouse.move(...await client(page, 100, 200), { steps: 8 });
  await page.mouse.up();
  let s = await scene(page);
  assert.equal(s.labels.length, 1);
  const label = s.labels[0];
  assert.deepEqual([label.caption, label.x, label.y], ['ラベル1', 100, 200]);
  // A double-click opens "ラベルの編集" with what the label holds.
  await page.mouse.dblclick(...await client(page, label.x + 5, label.y + 5));
  await page.locator('#frmLblEdit').waitFor();
  assert.equal(await page.inputValue('#txtLblCapt'), 'ラベル1');
  assert.equal(await page.inputValue('#txtFontSize'), '12');
  await page.fill('#txtLblCapt', 'いらっしゃいませ');
  await page.selectOption('#lstFontSize', '20');
  await page.check('#lstStileBold');
  await page.click('#colour1_4'); // the background strip's fifth colour
  assert.ok(await page.locator('#colour1_4').evaluate(d => d.classList.contains('chosen')));
  await page.screenshot({ path: path.join(shots, 'label-editor.png') });
  await page.click('#frmLblEdit #cmdOk');
  s = await scene(page);
  const changed = s.labels[0];
  assert.deepEqual([changed.caption, changed.fontSize, changed.bold, changed.back], ['いらっしゃいませ', 20, true, '#ffff00']);
  assert.ok(changed.w > label.w, 'the label is sized to its new text');
  await page.keyboard.press('Control+Z');
  s = await scene(page);
  assert.deepEqual([s.labels[0].caption, s.labels[0].w], ['ラベル1', label.w]);
  // キャンセル leaves the label as it is.
  await page.mouse.dblclick(...await client(page, label.x + 5, label.y + 5));
  await page.fill('#txtLblCapt', 'ちがう');
  await page.keyboard.press('Escape');
  assert.equal((await scene(page)).labels[0].caption, 'ラベル1');
  await context.close();
});
