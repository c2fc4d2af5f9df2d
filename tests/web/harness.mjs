// What the browser tests of the page share: the site built by scripts/web.sh and served by
// web/serve.mjs, the machines written by the core (web_fixtures), Debian's chromium driven by
// playwright-core, and the pupil's gestures with real mouse and touch input.
//
// The tests take: --web-out DIR --fixtures TOOL --sim SIM --app-dir DIR --work DIR [--site DIR]
//   --site DIR uses an already built site as it is (no build).
import { before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawn, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

export const here = path.dirname(fileURLToPath(import.meta.url));
export const root = path.resolve(here, '../..');
export const arg = name => { const i = process.argv.indexOf('--' + name); return i > 0 ? path.resolve(process.argv[i + 1]) : undefined; };
const chromiumPath = '/usr/bin/chromium';

if (!fs.existsSync(chromiumPath)) {
  console.log(`SKIP: ${chromiumPath} is missing (scripts/install-deps.sh installs chromium)`);
  process.exit(77);
}

export const work = path.resolve(arg('work') ?? fs.mkdtempSync('/tmp/jhk-web-'));
export const fixtures = path.join(work, 'fixtures');
export let site = arg('site');
fs.rmSync(work, { recursive: true, force: true });
fs.mkdirSync(fixtures, { recursive: true });

export function run(cmd, args, opts = {}) {
  const r = spawnSync(cmd, args, { encoding: 'utf8', stdio: ['pipe', 'pipe', 'pipe'], ...opts });
  if (r.status !== 0) throw new Error(`${cmd} ${args.join(' ')} failed (${r.status}):\n${r.stdout}\n${r.stderr}`);
  return r;
}

if (!site) {
  const out = path.resolve(arg('web-out') ?? path.join(root, 'build-web'));
  run('sh', [path.join(root, 'scripts/web.sh'), 'build', out], { stdio: 'inherit' });
  site = path.join(out, 'site');
}
run(arg('fixtures'), [fixtures]);
// The page's site also publishes an example, as a teacher would put one on the school's server.
fs.copyFileSync(path.join(fixtures, 'vending.jhk'), path.join(site, 'test-vending.jhk'));

const { chromium } = await import(path.join(root, 'web/node_modules/playwright-core/index.mjs'));

let server;
export let baseUrl, browser;
before(async () => {
  server = spawn('node', [path.join(root, 'web/serve.mjs'), site, '0'], { stdio: ['ignore', 'pipe', 'inherit'] });
  baseUrl = await new Promise((resolve, reject) => {
    server.stdout.on('data', d => { const m = /http:\/\/localhost:(\d+)\//.exec(String(d)); if (m) resolve(`http://localhost:${m[1]}/`); });
    server.on('exit', code => reject(new Error(`server ended (${code})`)));
  });
  browser = await chromium.launch({
    executablePath: chromiumPath,
    args: ['--no-sandbox', '--headless', '--disable-gpu', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync'],
  });
});
after(async () => {
  await browser?.close();
  server?.kill();
  fs.rmSync(path.join(site, 'test-vending.jhk'), { force: true });
});

// ---- helpers ----
export async function openPage(context, query = '') {
  const page = await context.newPage();
  page.on('pageerror', e => console.log('page error:', e.message));
  await page.goto(baseUrl + query);
  await page.waitForFunction(() => document.documentElement.dataset.ready === '2', null, { timeout: 30000 });
  return page;
}
export const scene = page => page.evaluate(() => JSON.parse(window.jihankobo.machine.scene()));
// The stage's drawn pixels inside a rectangle of stage pixels, as a short digest.
export async function pixels(page, r) {
  await page.evaluate(() => new Promise(res => requestAnimationFrame(() => requestAnimationFrame(res))));
  return page.evaluate(({ x, y, w, h }) => {
    const c = document.getElementById('Picture1');
    const k = c.width / 408;
    const d = c.getContext('2d').getImageData(Math.round(x * k), Math.round(y * k), Math.max(1, Math.round(w * k)), Math.max(1, Math.round(h * k))).data;
    let hash = 0;
    for (let i = 0; i < d.length; ++i) hash = (hash * 31 + d[i]) >>> 0;
    return hash;
  }, r);
}
// Client coordinates of a stage point (the window may be scaled).
export async function client(page, x, y) {
  const box = await page.locator('#Picture1').boundingBox();
  return [box.x + (x + 0.5) * box.width / 408, box.y + (y + 0.5) * box.height / 500];
}
export const centre = r => [r.x + r.w / 2, r.y + r.h / 2];
export const partOfKind = (s, kind) => s.parts.find(p => p.kind === kind && p.visible);
export const visibleCoin = (s, d) => s.coins.find(c => c.denomination === d && c.visible);

export async function mouseDrag(page, from, to) {
  const [x0, y0] = await client(page, ...from);
  const [x1, y1] = await client(page, ...to);
  await page.mouse.move(x0, y0);
  await page.mouse.down();
  await page.mouse.move(x1, y1, { steps: 8 });
  await page.mouse.up();
}
export async function fingerDrag(page, from, to) {
  await fingerPath(page, await client(page, ...from), await client(page, ...to));
}
// A finger put down at `from` (client pixels), held `holdMs`, moved to `to` and lifted.
export async function fingerPath(page, from, to, holdMs = 0) {
  const cdp = await page.context().newCDPSession(page);
  const [x0, y0] = from, [x1, y1] = to;
  await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [{ x: x0, y: y0 }] });
  if (holdMs) await page.waitForTimeout(holdMs);
  if (x1 !== x0 || y1 !== y0) {
    for (let i = 1; i <= 8; ++i)
      await cdp.send('Input.dispatchTouchEvent', { type: 'touchMove', touchPoints: [{ x: x0 + (x1 - x0) * i / 8, y: y0 + (y1 - y0) * i / 8 }] });
  }
  await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  await cdp.detach();
}
export async function paletteCentre(page, kind) {
  const b = await page.locator('#cmdPartsButton' + kind).boundingBox();
  return [b.x + b.width / 2, b.y + b.height / 2];
}

// A part button dragged onto the stage, its corner let go at stage point (x, y).
export async function dropPart(page, kind, x, y, touch) {
  const from = await paletteCentre(page, kind);
  const to = await client(page, x, y);
  if (touch) {
    await fingerPath(page, from, to);
  } else {
    await page.mouse.move(...from);
    await page.mouse.down();
    await page.mouse.move(...to, { steps: 10 });
    await page.mouse.up();
  }
  await page.locator('#frmPDialog').waitFor({ timeout: 5000 });
}

export async function press(page, r, touch) {
  const [x, y] = await client(page, ...centre(r));
  if (touch) await page.touchscreen.tap(x, y);
  else await page.mouse.click(x, y);
}
export async function dialogText(page) {
  const box = page.locator('#dialog-layer').locator('[role=alertdialog], [role=dialog][aria-modal=true]').first();
  await box.waitFor({ timeout: 5000 });
  return box.locator('.text').innerText();
}

export function simSaves(script) {
  const out = path.join(work, 'sim-saved.jhk');
  fs.rmSync(out, { force: true });
  run(arg('sim'), ['--app-dir', arg('app-dir'), path.join(fixtures, 'vending.jhk')], { input: script + `save ${out}\n`, cwd: work });
  return fs.readFileSync(out);
}

// ---- the block editor ----
export const editor = page => page.evaluate(() => JSON.parse(window.jihankobo.machine.blockEditor()));

// The pupil's hand: the mouse, or a finger on a touch screen.
export function hand(page, touch) {
  const canvasPoint = async ([x, y]) => {
    const b = await page.locator('#picBlockBack').boundingBox();
    return [b.x + x * b.width / 353, b.y + y * b.height / 441];
  };
  const stagePoint = async slot => {
    const p = (await scene(page)).parts.find(q => q.slot === slot);
    return client(page, p.x + p.w / 2, p.y + p.h / 2);
  };
  const tapAt = async ([x, y]) => (touch ? page.touchscreen.tap(x, y) : page.mouse.click(x, y));
  const doubleAt = async ([x, y]) => {
    if (touch) { await page.touchscreen.tap(x, y); await page.touchscreen.tap(x, y); }
    else await page.mouse.dblclick(x, y);
  };
  return {
    press: async selector => (touch ? page.locator(selector).tap() : page.click(selector)),
    // A finger waits a moment between taps on one place: two quick ones are a double tap.
    tapCanvas: async p => { if (touch) await page.waitForTimeout(450); await tapAt(await canvasPoint(p)); },
    doubleCanvas: async p => doubleAt(await canvasPoint(p)),
    // A box pressed and moved to another place with the mouse.
    dragCanvas: async (from, to) => {
      await page.mouse.move(...await canvasPoint(from));
      await page.mouse.down();
      await page.mouse.move(...await canvasPoint(to), { steps: 6 });
      await page.mouse.up();
    },
    tapPart: async slot => tapAt(await stagePoint(slot)),
    doublePart: async slot => doubleAt(await stagePoint(slot)),
    // A palette entry dragged out of the list and let go over a point of the canvas.
    dragEntry: async (position, to) => {
      const e = await page.locator(`#be-entry1_${position}`).boundingBox();
      const from = [e.x + 30, e.y + e.height / 2];
      const at = await canvasPoint(to);
      if (touch) return fingerPath(page, from, at);
      await page.mouse.move(...from);
      await page.mouse.down();
      await page.mouse.move(...at, { steps: 10 });
      await page.mouse.up();
    },
    // A message box answered with its default button.
    answer: async text => {
      assert.equal(await dialogText(page), text);
      await (touch ? page.locator('#dialog-layer button.default').tap() : page.click('#dialog-layer button.default'));
    },
  };
}

export async function openEditor(page, h, slot) {
  await h.doublePart(slot);
  await page.locator('#frmBLock').waitFor({ timeout: 5000 });
}

// A "指定" button of the detail dialog, the part clicked on the stage while the editor is
// away, and (for a comparison) the part's variable chosen from the menu at the pointer. At
// level 1 a message first tells the pupil to choose a part (`said`).
export async function pickOperand(page, h, button, slot, variable, said) {
  await h.press(`#cmbSet${button}`);
  await page.locator('.be-layer').waitFor({ state: 'hidden' });
  if (said) await h.answer(said);
  assert.equal((await scene(page)).pickHint, 'パーツをクリックして下さい（Escで中止）');
  await h.tapPart(slot);
  if (variable !== undefined) {
    await page.locator('#mnuHensuu').waitFor();
    await h.press(`#mnuHensuu${variable + 1}`);
  }
  await page.locator('#frmBDialog').waitFor({ timeout: 5000 });
}
