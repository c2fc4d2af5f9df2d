// The page module's API under node, on the module built for pages: a machine opened from
// bytes, run, paid with coins dropped by their centre, bought from with a pointer click on
// its button, change taken with a touch of the lever, stopped and saved to bytes, which
// must be the bytes the native simulator saves after the same actions.
//
//   node page_api_test.mjs SITE_DIR APP_DIR MACHINE.jhk SAVED_BY_SIMULATOR.jhk
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import test from 'node:test';

const [siteDir, appDir, machineFile, expectedFile] = process.argv.slice(2);
const { default: createJihankobo } = await import(path.resolve(siteDir, 'jihankobo-core.js'));
// The module is made for pages (it fetches its .wasm); node hands it the bytes instead.
const core = await createJihankobo({ wasmBinary: fs.readFileSync(path.join(siteDir, 'jihankobo-core.wasm')) });

function putFolder(folder, prefix = '') {
    for (const entry of fs.readdirSync(folder, { withFileTypes: true })) {
        const rel = prefix + entry.name;
        if (entry.isDirectory()) putFolder(path.join(folder, entry.name), rel + '/');
        else if (/\.(ini|bmp|wav)$/i.test(entry.name)) assert.ok(core.putAppFile(rel, fs.readFileSync(path.join(folder, entry.name))));
    }
}
putFolder(appDir);

// A page that records what the machine asks of it and keeps one timer, fired by hand.
function makePage(m) {
    const page = { messages: [], sounds: [], runList: [], requests: [], changes: 0, timer: -1 };
    m.setHost({
        message(id, text, buttons, icon, initial) { page.messages.push({ id, text, buttons, icon, initial }); },
        request(what, index) { page.requests.push(`${what} ${index}`); },
        sound(name, mode) { page.sounds.push(`${name} ${mode}`); },
        changed() { page.changes++; },
        runList(line) { page.runList.push(line); },
        timer(ms) { page.timer = ms; },
    });
    page.settle = () => {
        for (let i = 0; i < 100 && page.timer >= 0; i++) { page.timer = -1; m.tick(); }
    };
    return page;
}

const centre = (r) => [r.x + Math.floor(r.w / 2), r.y + Math.floor(r.h / 2)];
const part = (scene, slot) => scene.parts.find((p) => p.slot === slot);

test('a purchase through the page API saves what the simulator saves', () => {
    const m = new core.Machine(3, 0);
    const page = makePage(m);
    const opened = m.open(fs.readFileSync(machineFile), 'machine.jhk');
    assert.deepEqual(opened, { ok: true, message: '' });
    assert.equal(m.isModified(), false);

    assert.ok(m.command('run'));
    let scene = JSON.parse(m.scene());
    assert.equal(scene.runMode, 1);
    assert.equal(scene.controls.stop, true);
    const slot = centre(part(scene, 2));
    m.coinDrop(2, ...slot); // 100 yen
    m.coinDrop(3, ...slot); // 50 yen
    page.settle();
    assert.equal(part(JSON.parse(m.scene()), 3).digits, '150');

    // A click on the button: down and up over it.
    const button = centre(part(scene, 1));
    m.pointer('down', ...button, 0, 0);
    m.pointer('up', ...button, 0, 0);
    page.settle();
    scene = JSON.parse(m.scene());
    assert.equal(scene.products.length, 1);
    assert.ok(page.sounds.includes('kan.wav sync'));

    m.touch(5); // the change lever
    page.settle();
    assert.deepEqual(page.messages.map((x) => x.text), ['お釣が30円でました']);
    assert.ok(page.runList.includes('釣レバー'));

    const view = JSON.parse(m.runView());
    assert.ok(Array.isArray(view.rows) && view.rows.length === 6);

    assert.ok(m.command('stop'));
    assert.equal(JSON.parse(m.scene()).products.length, 0);
    const saved = m.saveBytes();
    assert.ok(saved instanceof Uint8Array);
    assert.deepEqual(Buffer.from(saved), fs.readFileSync(expectedFile));
    m.markSaved('after.jhk');
    assert.equal(m.isModified(), false);
    m.delete();
});

test('a damaged file gives the reader\'s message and leaves the machine as it was', () => {
    const m = new core.Machine(3, 0);
    const page = makePage(m);
    assert.equal(m.open(fs.readFileSync(machineFile), 'machine.jhk').ok, true);
    const before = m.saveBytes();
    const damaged = new Uint8Array(fs.readFileSync(machineFile)).slice(0, 3000);
    const result = m.open(damaged, 'damaged.jhk');
    assert.equal(result.ok, false);
    assert.notEqual(result.message, '');
    assert.equal(page.messages.at(-1).text, result.message);
    assert.deepEqual(m.saveBytes(), before);
    m.delete();
});

test('a recovery copy brings the machine back, unsaved', () => {
    const m = new core.Machine(3, 0);
    makePage(m);
    assert.equal(m.open(fs.readFileSync(machineFile), 'machine.jhk').ok, true);
    const copy = m.recoveryBytes();
    const other = new core.Machine(3, 0);
    makePage(other);
    assert.equal(other.openRecovery(copy).ok, true);
    assert.deepEqual(other.saveBytes(), m.saveBytes());
    // Offered at a visit's start: the desktop's question with the copy's time; いいえ leaves
    // the machine, はい restores it, unsaved.
    const third = new core.Machine(3, 0);
    const page = makePage(third);
    third.offerRecovery(copy, -1);
    assert.deepEqual([page.messages.at(-1).text, page.messages.at(-1).buttons], ['前回、保存されずに終了したマシンがあります。復元しますか？', 'yesno']);
    third.answer(page.messages.at(-1).id, 'no');
    assert.deepEqual([page.requests.at(-1), JSON.parse(third.scene()).parts.length], ['recovered 0', 0]);
    third.offerRecovery(copy, 1765440000);
    assert.match(page.messages.at(-1).text, /\n（2025年12月1\d日 \d\d:\d\d に記録されたものです）$/);
    third.answer(page.messages.at(-1).id, 'yes');
    assert.deepEqual([page.requests.at(-1), third.isModified()], ['recovered 1', true]);
    assert.deepEqual(third.saveBytes(), m.saveBytes());
    m.delete();
    other.delete();
    third.delete();
});

test('a message of a running machine holds the run until it is answered; 停止 there ends it', () => {
    const m = new core.Machine(3, 0);
    const page = makePage(m);
    assert.equal(m.open(fs.readFileSync(machineFile), 'machine.jhk').ok, true);
    m.command('run');
    const slot = centre(part(JSON.parse(m.scene()), 2));
    m.coinDrop(2, ...slot);
    page.settle();
    m.touch(5); // the change lever tells the change
    page.settle();
    const box = page.messages.at(-1);
    assert.deepEqual([box.text, box.buttons], ['お釣が100円でました', 'okstop']);
    assert.equal(JSON.parse(m.scene()).runMode, 1, 'still running behind the box');
    m.answer(box.id, 'stop');
    assert.equal(JSON.parse(m.scene()).runMode, 0);
    assert.equal(m.canUndo(), false, 'a run is no edit');
    m.delete();
});

test('the file commands ask as the desktop does and give the page the bytes to keep', () => {
    const m = new core.Machine(3, 0);
    const page = makePage(m);
    const original = fs.readFileSync(machineFile);
    assert.equal(m.open(original, 'machine.jhk').ok, true);
    // 所持金: a refused amount shows its message and the box comes back with the text kept.
    m.command('money');
    m.answer(page.messages.at(-1).id, '２千');
    assert.deepEqual(page.messages.slice(-2).map(x => [x.buttons, x.initial]), [['ok', ''], ['input', '２千']]);
    m.answer(page.messages.at(-1).id, '2000');
    assert.equal(JSON.parse(m.scene()).moneyInHand, 2000);
    assert.equal(m.isModified(), true);

    // ファイルを開く over unsaved work: the desktop's question; はい saves first, then the file.
    m.command('open');
    assert.deepEqual([page.messages.at(-1).text, page.messages.at(-1).buttons],
        ['今のマシンには保存されていない変更があります。\r\n保存しますか？', 'yesnocancel']);
    m.answer(page.messages.at(-1).id, 'yes');
    assert.equal(page.requests.at(-1), 'savefile -1');
    const kept = m.fileChosen('kept.jhk', null);
    assert.ok(kept.length > 16);
    assert.deepEqual(Buffer.from(kept), Buffer.from(m.saveBytes()), 'the bytes the writer writes');
    assert.equal(page.requests.at(-1), 'openfile -1', 'then the open dialog');
    m.fileChosen('machine.jhk', original);
    assert.equal(page.requests.at(-1), 'opened 1');
    let scene = JSON.parse(m.scene());
    assert.deepEqual([scene.fileName, scene.moneyInHand, m.isModified()], ['machine.jhk', 2670, false]);

    // The kept file opens with the money typed; a write the page could not make leaves it unsaved.
    m.command('open');
    m.fileChosen('kept.jhk', kept);
    assert.equal(JSON.parse(m.scene()).moneyInHand, 2000);
    m.writeFailed();
    assert.equal(m.isModified(), true);
    // A cancelled dialog changes nothing.
    m.command('save');
    assert.deepEqual(Buffer.from(m.fileChosen('', null)), Buffer.alloc(0));
    assert.equal(m.isModified(), true);

    // A label text the document cannot hold: the writer's message, nothing to keep, still unsaved.
    assert.equal(m.paletteDown(8), true);
    m.paletteDrop(8, 100, 100);
    m.pointer('dblclick', 105, 105, 0, 0);
    assert.equal(page.requests.at(-1), 'label 1');
    m.labelEdit({ caption: 'ドリンク😀', fontName: '', fontSize: '12', italic: false, bold: false, transparent: false });
    m.labelOk();
    m.command('save');
    assert.equal(m.fileChosen('label.jhk', null).length, 0);
    assert.equal(page.messages.at(-1).text, 'ファイルを保存できませんでした。\n「😀」はファイルに保存できない文字です。');
    assert.equal(m.isModified(), true);

    // The quit prompt: いいえ ends without saving; 新規 asks as opening does.
    m.command('quit');
    assert.equal(page.messages.at(-1).text, 'ジハンコウボウを終了します\r\n保存しますか？');
    m.answer(page.messages.at(-1).id, 'no');
    assert.equal(page.requests.at(-1), 'quit -1');
    m.command('new');
    m.answer(page.messages.at(-1).id, 'cancel');
    assert.notEqual(page.requests.at(-1), 'new -1');
    m.command('new');
    m.answer(page.messages.at(-1).id, 'no');
    assert.equal(page.requests.at(-1), 'new -1');
    m.delete();
});

test('環境設定 raises the level after the question, never lowers it, and undo does not cross it', () => {
    const m = new core.Machine(1, 0);
    const page = makePage(m);
    const enabled = () => JSON.parse(m.levelOptions()).map(o => o.enabled);
    assert.deepEqual(enabled(), [true, true, true]);
    m.command('money');
    m.answer(page.messages.at(-1).id, '500');
    assert.equal(m.canUndo(), true);
    m.chooseLevel(2);
    const question = page.messages.at(-1);
    assert.deepEqual([question.text, question.buttons, question.icon],
        ['レベルを変更しますか？レベルは元に戻す事や、下げる事はできません', 'yesno', 'exclamation']);
    m.answer(question.id, 'no');
    assert.deepEqual([JSON.parse(m.scene()).level, page.requests.at(-1)], [1, 'levelchosen 0']);
    m.chooseLevel(2);
    m.answer(page.messages.at(-1).id, 'yes');
    const scene = JSON.parse(m.scene());
    assert.deepEqual([scene.level, scene.controls.stepControlsVisible, page.messages.at(-1).text], [2, false, 'レベルを2に変更しました']);
    assert.deepEqual([m.canUndo(), page.requests.at(-1)], [false, 'levelchosen 1']);
    assert.deepEqual(enabled(), [false, true, true]);
    const asked = page.messages.length;
    m.chooseLevel(1); // lower: nothing, not even a question
    assert.equal(page.messages.length, asked);
    m.delete();
});
