// A level-1 machine built on an empty stage in the page, as a pupil builds it: the product with
// its price and stock typed, the button, the coin slot, the amount display, the product outlet
// and the change lever dragged from the palette, saved through the file dialog; then, at the
// third exercise step, the ready-made programs completed in the block editor (which product,
// which counter, picked on the stage), saved again, and jihankobo-sim sells a drink with it and
// gives the right change; with a finger the same. The desktop program, driven the same way
// under Xvfb (desktop_level1_e2e.py, when it ran), saved the same bytes as the first save. And
// the file commands, 所持金 and 環境設定 ask the desktop's questions.
//
// usage: node building.test.mjs --web-out DIR --fixtures TOOL --sim SIM --app-dir DIR --work DIR
//        [--site DIR] [--desktop-saved FILE]
import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import {
  arg, work, browser, openPage, scene, dialogText, run, dropPart, editor, hand, openEditor, pickOperand,
} from './harness.mjs';

// The same steps as desktop_level1_e2e.py: palette button, stage point of the part's corner,
// the values typed into its property dialog.
const Steps = [
  [0, 40, 150, ['120', '5']], // product
  [1, 40, 240, []],           // button
  [2, 300, 150, []],          // coin slot
  [3, 250, 60, []],           // amount display
  [6, 120, 380, []],          // product outlet
  [7, 300, 260, []],          // change lever
];
// The parts' numbers: each takes the lowest free one as it is dropped.
const Slot = { product: 0, button: 1, coinSlot: 2, counter: 3, outlet: 4, lever: 5 };

// What the pupil completes in the ready-made programs: per part, the blocks (by caption) with
// the operands picked on the stage — [指定 button, part, the variable chosen for a comparison] —
// and a comparison's operator. A (金額) of the amount display, A (値段) of the product.
const Completion = [
  [Slot.button, [
    ['1商品排出', [[1, Slot.product], [2, Slot.outlet]]],
    ['2カウンター減算', [[1, Slot.counter], [2, Slot.product]]],
    ['3条件分岐', [[1, Slot.counter, 0], [3, Slot.product, 0]], '<'], // too little left: the lamp goes off
  ]],
  [Slot.coinSlot, [
    ['0投入金加算', [[1, Slot.counter]]],
    ['1条件分岐', [[1, Slot.counter, 0], [3, Slot.product, 0]], '>='], // enough inserted: the lamp lights
    ['2購買可ランプ点灯', [[1, Slot.button]]],
  ]],
  [Slot.lever, [
    ['0釣銭排出', [[1, Slot.counter]]],
    ['1購買可ランプ消灯', [[1, Slot.button]]],
  ]],
];

async function start(page, level, touch) {
  await page.locator('#frmOpen').waitFor();
  const pressed = sel => (touch ? page.locator(sel).tap() : page.click(sel));
  await pressed(`#optLevel${level - 1}`);
  await pressed('#frmOpen #cmdOK');
  await page.waitForFunction(l => JSON.parse(window.jihankobo.machine.scene()).level === l, level);
}

async function build(page, touch) {
  for (const [kind, x, y, values] of Steps) {
    await dropPart(page, kind, x, y, touch);
    for (let i = 0; i < values.length; ++i) await page.locator('#txtDHennsuu' + i).fill(values[i]);
    if (touch) await page.locator('#cmdOK').tap();
    else await page.click('#cmdOK');
    await page.locator('#frmPDialog').waitFor({ state: 'detached' });
  }
}

// The exercise's third step, then each part's program completed in the block editor: the part
// double-clicked, each block's detail dialog opened by a double-click on its box, the operands
// picked on the stage, ＯＫ, and 決定.
async function complete(page, touch) {
  const h = hand(page, touch);
  await h.press('[data-menu=step]');
  await h.press('#menu-step [data-command=step3]');
  await page.waitForFunction(() => JSON.parse(window.jihankobo.machine.scene()).step === 3);
  for (const [part, blocks] of Completion) {
    await openEditor(page, h, part);
    for (const [caption, operands, operator] of blocks) {
      const box = (await editor(page)).flowchart.boxes.find(b => b.caption === caption);
      assert.ok(box, `${caption} in the program of part ${part}`);
      await h.doubleCanvas([box.x + box.w / 2, box.y + box.h / 2]);
      await page.locator('#frmBDialog').waitFor();
      assert.equal(await page.locator('#frmBDialog #lblBlockName').innerText(), caption);
      for (const [button, slot, variable] of operands)
        await pickOperand(page, h, button, slot, variable, button === 1 ? 'パーツを選択してください' : 'パーツを選んでください');
      if (operator) await page.selectOption('#Combo1', operator);
      await h.press('#frmBDialog #cmdOK');
      await page.locator('#frmBDialog').waitFor({ state: 'detached' });
    }
    const boxes = (await editor(page)).flowchart.boxes;
    assert.deepEqual(boxes.filter(b => !b.complete).map(b => b.caption), [], `every block of part ${part} complete`);
    if (part === Slot.button) await page.screenshot({ path: path.join(shots, `level1-button-program${touch ? '-touch' : ''}.png`) });
    await h.press('#SSCommand1');
    await page.locator('#frmBLock').waitFor({ state: 'detached' });
  }
}

// 名前を付けて保存 into a file the browser's file dialog gives (File System Access), or 上書き保存
// into the file saved before; the bytes kept by the page.
async function save(page, name, touch, command = 'saveas') {
  await page.evaluate(n => {
    window.written = undefined;
    window.showSaveFilePicker = async () => ({
      name: n,
      createWritable: async () => ({ write: async d => { window.written = Array.from(d); }, close: async () => {} }),
    });
  }, name);
  const choose = async sel => (touch ? page.locator(sel).tap() : page.click(sel));
  await choose('[data-menu=file]');
  await choose(`#menu-file [data-command=${command}]`);
  await page.waitForFunction(() => window.written && !window.jihankobo.machine.isModified());
  return Buffer.from(await page.evaluate(() => window.written));
}

// jihankobo-sim opens the saved machine at its third exercise step and runs it: a coin into the
// slot, a press of the button. Selling needs the blocks' details (which product, which counter),
// set in the block editor; without them each program runs up to its first detail left unset.
function runs(file) {
  const out = run(arg('sim'), ['--app-dir', arg('app-dir'), '--trace', file],
    { input: 'exercise 3\nrun\nstate\ncoin 100\ntouch 1\nstop\n', encoding: 'utf8' }).stdout;
  const states = [...out.matchAll(/^state\t(.*)$/mg)].map(m => JSON.parse(m[1]));
  const blocks = [...out.matchAll(/^block\t(\d+)\t(\d+)$/mg)].map(m => [Number(m[1]), Number(m[2])]);
  return { state: states[0], blocks, out };
}

// The completed machine in jihankobo-sim at the third step: 100 yen is not enough, so the
// button's lamp stays off and a press gives nothing; with 50 more it lights, a press gives the
// product and leaves 30 yen on the amount display; the change lever pays the 30 yen back.
function sells(file) {
  const out = run(arg('sim'), ['--app-dir', arg('app-dir'), file], {
    input: 'exercise 3\nrun\ncoin 100\ntouch 1\nstate\ncoin 50\nstate\ntouch 1\nstate\ntouch 5\nstate\nstop\n',
    encoding: 'utf8',
  }).stdout;
  const states = [...out.matchAll(/^state\t(.*)$/mg)].map(m => JSON.parse(m[1]));
  assert.equal(states.length, 4, out);
  const seen = states.map(st => {
    const part = slot => st.parts.find(p => p.slot === slot);
    return { lamp: part(Slot.button).a, counter: part(Slot.counter).a, discharged: st.discharged, money: st.money_in_hand, tens: st.wallet[4] };
  });
  const [short, enough, bought, changed] = seen;
  assert.deepEqual([short.lamp, short.counter, short.discharged], [0, 100, 0], '100 yen buys nothing');
  assert.deepEqual([enough.lamp, enough.counter], [1, 150], '150 yen lights the button');
  assert.deepEqual([bought.discharged, bought.counter, bought.lamp], [1, 30, 0], 'a press gives the product');
  assert.equal(out.match(/^sound\tkan\.wav\tsync$/mg)?.length, 1, 'one product falls');
  assert.deepEqual([changed.counter, changed.money - bought.money, changed.tens - bought.tens], [0, 30, 3], 'the change: three 10-yen coins');
  assert.match(out, /^message\tお釣が30円でました$/m);
}

const shots = path.join(work, 'screenshots');
fs.mkdirSync(shots, { recursive: true });
const pageSaved = {};
for (const touch of [false, true]) {
  const how = touch ? 'a finger' : 'the mouse';
  test(`a level-1 machine built with ${how} on an empty stage is saved, its programs completed in the block editor, and jihankobo-sim sells a drink with it`, async () => {
    const context = await browser.newContext(touch
      ? { viewport: { width: 1024, height: 768 }, hasTouch: true, isMobile: true, deviceScaleFactor: 2 }
      : { viewport: { width: 1000, height: 700 } });
    const page = await openPage(context);
    await start(page, 1, touch);
    // A new level-1 machine shows its exercise step and the step menu before any part is placed.
    await page.waitForFunction(() => document.getElementById('lblNowStep').textContent === 'ステップ1');
    assert.equal(await page.locator('#menu-step-title').isVisible(), true, 'the ステップ menu');
    await build(page, touch);
    const s = await scene(page);
    assert.equal(s.parts.filter(p => p.visible).length, 6);
    // The window shows the count in the next frame.
    await page.waitForFunction(() => document.getElementById('lblPartsCount').textContent === 'パーツの数：6個');
    const bytes = await save(page, 'level1.jhk', touch);
    assert.equal(await page.title(), 'level1.jhk - ジハンコウボウ', 'the page names the file it saved');
    const file = path.join(work, touch ? 'level1-finger.jhk' : 'level1-mouse.jhk');
    fs.writeFileSync(file, bytes);
    pageSaved[touch ? 'finger' : 'mouse'] = bytes;

    const { state, blocks, out } = runs(file);
    assert.ok(state, out);
    const kinds = Object.fromEntries(state.parts.map(p => [p.kind, p]));
    assert.deepEqual(state.parts.map(p => p.kind).sort(), [0, 1, 2, 3, 6, 7]);
    assert.deepEqual([kinds[0].a, kinds[0].b], [120, 5], 'the price and the stock typed');
    // Level 1 gives the button, the coin slot and the change lever their programs.
    assert.deepEqual([1, 2, 7].map(k => kinds[k].block_count), [5, 3, 2]);
    assert.deepEqual(blocks, [[kinds[2].slot, 0], [kinds[1].slot, 0]], 'the coin runs the slot\'s program, the press the button\'s');
    assert.deepEqual(Object.entries(Slot).map(([, slot]) => state.parts.find(p => p.slot === slot)?.kind), [0, 1, 2, 3, 6, 7]);

    // The programs completed, 上書き保存, and the machine sells.
    await complete(page, touch);
    const completed = path.join(work, touch ? 'level1-finger-completed.jhk' : 'level1-mouse-completed.jhk');
    fs.writeFileSync(completed, await save(page, 'level1.jhk', touch, 'save'));
    sells(completed);
    await context.close();
  });
}

// The offsets of every part's Left and Top in a saved document: the fields that hold where the
// pointer let each part go.
function partPositionOffsets(bytes) {
  let at = 16 + 1 + 2 * 4; // header, Level, RunMode, CurParts, PartsCount, LabelCount
  const textItem = () => {
    const tag = bytes.readInt16LE(at + 2);
    at += 4;
    if (tag === 2) at += 2;
    else if (tag === 8) at += 2 + bytes.readInt16LE(at);
  };
  textItem(); // BackPictName
  const offsets = [];
  for (let part = 0; part < 31; ++part) {
    textItem(); // PictName
    offsets.push(at + 2 * 6, at + 2 * 7); // Left, Top among the record's 19 numbers
    at += 2 * 19;
    for (let block = 0; block < 31; ++block) {
      at += 2 * 9;
      textItem();
      at += 3 + 2 * 2;
      for (let k = 0; k < 6; ++k) textItem();
    }
  }
  return offsets;
}

test('the desktop program saves the same machine, built the same way, byte for byte but where the pointer let go', { skip: !arg('desktop-saved') && 'no desktop run' }, () => {
  const desktop = arg('desktop-saved');
  if (!fs.existsSync(desktop)) assert.fail(`the desktop run saved nothing at ${desktop}`);
  const theirs = Buffer.from(fs.readFileSync(desktop));
  const ours = Buffer.from(pageSaved.mouse ?? []);
  assert.ok(ours.length > 0, 'the page saved its machine');
  assert.equal(ours.length, theirs.length, 'the same length');
  const positions = partPositionOffsets(ours);
  assert.deepEqual(partPositionOffsets(theirs), positions, 'the same layout');
  // A part's place is where the pointer let go: a pixel of the screen either way (15 twips).
  for (const at of positions)
    assert.ok(Math.abs(ours.readInt16LE(at) - theirs.readInt16LE(at)) <= 15, `a part's place at offset ${at}`);
  const differs = [];
  for (let i = 0; i < ours.length; ++i) {
    if (ours[i] !== theirs[i] && !positions.includes(i) && !positions.includes(i - 1)) differs.push(i);
  }
  assert.deepEqual(differs.slice(0, 20), [], 'every other byte alike (offsets that differ)');
});

test('the file commands, 所持金 and 環境設定 ask what the desktop asks', async () => {
  const context = await browser.newContext({ viewport: { width: 1000, height: 700 } });
  const page = await openPage(context);
  await start(page, 1, false);
  const menu = async (title, command) => { await page.click(`[data-menu=${title}]`); await page.click(`#menu-${title} [data-command=${command}]`); };

  // With nothing on the stage the quit prompt is the OK/Cancel question; キャンセル stays.
  await menu('file', 'quit');
  assert.equal(await dialogText(page), 'ジハンコウボウを終了しますか？');
  await page.click('#dialog-layer [data-answer=cancel]');

  // 所持金: a refused amount gives the desktop's message, and the box comes back with the
  // text kept to mend.
  await page.click('#Command1');
  assert.match(await dialogText(page), /^所持金の変更： 10000以下の金額を入力して下さい/);
  await page.locator('#dialog-layer input.answer').fill('にせん');
  await page.keyboard.press('Enter');
  assert.equal(await dialogText(page), '文字列は受け付けられません。数値を入力して下さい');
  await page.keyboard.press('Enter');
  assert.equal(await page.locator('#dialog-layer input.answer').inputValue(), 'にせん');
  await page.locator('#dialog-layer input.answer').fill('2000');
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => document.getElementById('Label4').textContent === '所持金：￥2000');

  // 環境設定: level 1 can go up; the question, then the message; the step menu goes and undo
  // does not cross the raise.
  await menu('option', 'options');
  await page.locator('#frmOption').waitFor();
  await page.check('#frmOption #optLevel2');
  await page.screenshot({ path: path.join(shots, 'option-window.png') });
  await page.click('#frmOption #cmdOK');
  assert.equal(await dialogText(page), 'レベルを変更しますか？レベルは元に戻す事や、下げる事はできません');
  assert.equal(await page.locator('#frmOption').isVisible(), true, 'the settings stay up while they ask');
  await page.click('#dialog-layer [data-answer=yes]');
  assert.equal(await dialogText(page), 'レベルを3に変更しました');
  await page.keyboard.press('Enter');
  await page.locator('#frmOption').waitFor({ state: 'detached' });
  const s = await scene(page);
  assert.deepEqual([s.level, s.controls.stepControlsVisible, s.controls.undo], [3, false, false]);
  assert.equal(await page.locator('#menu-step-title').isHidden(), true);
  await menu('option', 'options');
  assert.deepEqual(await page.locator('#frmOption input[type=radio]').evaluateAll(r => r.map(x => x.disabled)), [true, true, false]);
  await page.keyboard.press('Escape');

  // ファイルを開く over unsaved work: the desktop's question first; キャンセル keeps the machine.
  await page.click('[data-menu=file]');
  await page.screenshot({ path: path.join(shots, 'file-menu.png') });
  await page.click('[data-menu=file]');
  await menu('file', 'open');
  assert.equal(await dialogText(page), '今のマシンには保存されていない変更があります。\n保存しますか？');
  await page.click('#dialog-layer [data-answer=cancel]');
  // 新規: the same question; いいえ gives the start window for a new machine.
  await menu('file', 'new');
  assert.equal(await dialogText(page), '今のマシンには保存されていない変更があります。\n保存しますか？');
  await page.click('#dialog-layer [data-answer=no]');
  await start(page, 2, false);
  assert.equal((await scene(page)).moneyInHand, 2670, 'a new machine');

  // With a part on the stage the quit prompt offers to save; キャンセル stays, いいえ ends: the
  // page closes, or starts again with the start window where the browser keeps the tab.
  await dropPart(page, 0, 40, 150, false);
  await page.click('#cmdOK');
  await menu('file', 'quit');
  assert.equal(await dialogText(page), 'ジハンコウボウを終了します\n保存しますか？');
  await page.click('#dialog-layer [data-answer=cancel]');
  assert.equal((await scene(page)).parts.filter(p => p.visible).length, 1, 'キャンセル keeps the machine');
  const closed = new Promise(resolve => page.once('close', () => resolve('closed')));
  await menu('file', 'quit');
  await page.click('#dialog-layer [data-answer=no]');
  const ended = await Promise.race([closed, page.locator('#frmOpen').waitFor().then(() => 'start window')]);
  if (ended === 'start window') {
    assert.equal((await scene(page)).parts.length, 0, 'the machine is gone');
    assert.equal(await page.evaluate(() => window.jihankobo.machine.isModified()), false, 'nothing asks again on leaving');
  }
  await context.close();
});
