// Measures the page in Debian's chromium, in one run, and takes the documentation's screenshots:
//   - bytes sent on a cold first visit (gzip, as web/serve.mjs serves them), the service worker's
//     cache filling included;
//   - navigation to a machine ready to run from a warm cache, plain and with the CPU slowed 4×;
//   - a purchase: pointer-up on the button to the product drawn (the run waits for the product's
//     sound by the rules: the time after that wait is the page's own);
//   - the tab's memory (JavaScript heap and the module's memory) before and after 100 purchases.
// usage: node web/tools/figures.mjs SITE VENDING.jhk [SCREENSHOT-FOLDER]
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const { chromium } = await import(path.join(here, '../node_modules/playwright-core/index.mjs'));
const [site, machineFile, shots] = process.argv.slice(2).map(p => p && path.resolve(p));
if (!site || !machineFile) { console.error('usage: node web/tools/figures.mjs SITE VENDING.jhk [SCREENSHOT-FOLDER]'); process.exit(2); }

fs.copyFileSync(machineFile, path.join(site, 'figures-vending.jhk'));
const server = spawn('node', [path.join(here, '../serve.mjs'), site, '0'], { env: { ...process.env, JHK_SERVE_LOG: '1' }, stdio: ['ignore', 'pipe', 'inherit'] });
let bytes = 0, requests = 0;
const base = await new Promise(resolve => {
  let buf = '';
  server.stdout.on('data', d => {
    buf += d;
    let i;
    while ((i = buf.indexOf('\n')) >= 0) {
      const line = buf.slice(0, i); buf = buf.slice(i + 1);
      const m = /^sent (\d+) /.exec(line);
      if (m) { bytes += Number(m[1]); requests += 1; }
      const u = /http:\/\/localhost:(\d+)\//.exec(line);
      if (u) resolve(`http://localhost:${u[1]}/`);
    }
  });
});
const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--headless', '--disable-gpu', '--no-first-run', '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});
const out = [];
const say = s => { out.push(s); console.log(s); };
const ready = page => page.waitForFunction(() => document.documentElement.dataset.ready === '2', null, { timeout: 60000 });
const readyMs = page => page.evaluate(() => performance.getEntriesByName('jhk-ready')[0].startTime);
const kb = n => `${(n / 1024).toFixed(0)} KiB`;

try {
  // Cold visit: an empty profile, until the service worker has the whole site in its cache.
  const context = await browser.newContext({ viewport: { width: 777, height: 529 } });
  const page = await context.newPage();
  await page.goto(base);
  await ready(page);
  await page.evaluate(() => navigator.serviceWorker.ready);
  await page.waitForTimeout(500);
  say(`cold first visit: ${kb(bytes)} sent gzip-compressed in ${requests} responses (the page, the module, the application folder, the fonts; the cache filled)`);
  const coldReady = await readyMs(page);

  // Warm: the same profile again, everything from the service worker's cache.
  // The processor time the browser's processes spend on it too: unlike the wall-clock time it
  // hardly depends on what else the machine is doing.
  const browserCdp = await browser.newBrowserCDPSession();
  const cpuSeconds = async () => (await browserCdp.send('SystemInfo.getProcessInfo')).processInfo.reduce((t, p) => t + p.cpuTime, 0);
  const warm = [], warmCpu = [];
  for (let i = 0; i < 5; ++i) {
    const c0 = await cpuSeconds();
    await page.reload(); await ready(page); warm.push(await readyMs(page));
    warmCpu.push((await cpuSeconds() - c0) * 1000);
  }
  const cdp = await context.newCDPSession(page);
  await cdp.send('Emulation.setCPUThrottlingRate', { rate: 4 });
  const slow = [], parts = [];
  const marks = () => page.evaluate(() => Object.fromEntries(performance.getEntriesByType('mark').map(m => [m.name, m.startTime])));
  for (let i = 0; i < 5; ++i) { await page.reload(); await ready(page); slow.push(await readyMs(page)); parts.push(await marks()); }
  await cdp.send('Emulation.setCPUThrottlingRate', { rate: 1 });
  const median = a => [...a].sort((x, y) => x - y)[Math.floor(a.length / 2)];
  say(`navigation to a machine ready to run: cold ${coldReady.toFixed(0)} ms; warm cache median ${median(warm).toFixed(0)} ms (${warm.map(x => x.toFixed(0)).join(', ')}); CPU 4× slower median ${median(slow).toFixed(0)} ms (${slow.map(x => x.toFixed(0)).join(', ')})`);
  // Where a slowed warm start spends its time, the run with the median time.
  const m = parts[slow.indexOf(median(slow))];
  say(`a slowed warm start (${median(slow).toFixed(0)} ms): the page and the module's files until the page's script ran ${(m['jhk-start'] ?? 0).toFixed(0)} ms, the module compiled and started ${(m['jhk-core'] - (m['jhk-start'] ?? 0)).toFixed(0)} ms, the application folder handed to it ${(m['jhk-appfiles'] - m['jhk-core']).toFixed(0)} ms, the machine made ${(m['jhk-machine'] - m['jhk-appfiles']).toFixed(0)} ms, its pictures decoded and the first frame drawn ${(m['jhk-ready'] - m['jhk-machine']).toFixed(0)} ms`);
  say(`processor time of the browser's processes for a warm start (reload to ready, all processes): median ${median(warmCpu).toFixed(0)} ms (${warmCpu.map(x => x.toFixed(0)).join(', ')})`);
  say(`load average of this machine (2 cores, shared) during the run: ${fs.readFileSync('/proc/loadavg', 'utf8').split(' ').slice(0, 3).join(' ')}`);

  // A purchase with real pointer events, timed inside the page.
  await page.goto(base + '?machine=figures-vending.jhk');
  await ready(page);
  await page.evaluate(() => {
    const p = window.jihankobo;
    const t = window.__times = { up: 0, tick: 0, drawn: 0 };
    document.getElementById('Picture1').addEventListener('pointerup', () => { t.up = performance.now(); }, { capture: true });
    const tick = p.machine.tick.bind(p.machine);
    p.machine.tick = () => { tick(); if (!t.tick && JSON.parse(p.machine.scene()).products.some(x => x.visible)) t.tick = performance.now(); };
    const refresh = p.refresh.bind(p);
    p.refresh = () => { refresh(); if (t.tick && !t.drawn) t.drawn = performance.now(); };
  });
  const scene = () => page.evaluate(() => JSON.parse(window.jihankobo.machine.scene()));
  const box = await page.locator('#Picture1').boundingBox();
  const at = (x, y) => [box.x + x * box.width / 408, box.y + y * box.height / 500];
  await page.click('#cmdStart');
  let s = await scene();
  for (const d of [2, 3]) {
    s = await scene();
    const c = s.coins.find(c => c.denomination === d && c.visible), slot = s.parts.find(p => p.kind === 2);
    await page.mouse.move(...at(c.x + 15, c.y + 15)); await page.mouse.down();
    await page.mouse.move(...at(slot.x + slot.w / 2, slot.y + slot.h / 2), { steps: 5 }); await page.mouse.up();
  }
  const button = s.parts.find(p => p.kind === 1);
  await page.mouse.click(...at(button.x + button.w / 2, button.y + button.h / 2));
  await page.waitForFunction(() => window.__times.drawn > 0, null, { timeout: 10000 });
  const t = await page.evaluate(() => window.__times);
  say(`a purchase: pointer-up on the button to the product drawn ${(t.drawn - t.up).toFixed(0)} ms, of which the product's sound (the run waits for it) ${(t.tick - t.up).toFixed(0)} ms and the page ${(t.drawn - t.tick).toFixed(1)} ms from the machine's tick to the frame drawn`);
  if (shots) {
    await page.waitForTimeout(300);
    await page.screenshot({ path: path.join(shots, 'web-page-running.png') });
  }
  await page.click('#cmdStop');

  // Memory: 100 purchases through the module's API (the same calls the pointer makes).
  const heap = async () => {
    await cdp.send('HeapProfiler.collectGarbage');
    const m = (await cdp.send('Performance.getMetrics')).metrics;
    const used = m.find(x => x.name === 'JSHeapUsedSize').value;
    const wasm = await page.evaluate(() => window.jihankobo.core.HEAP8?.length ?? 0);
    const nodes = (await cdp.send('Memory.getDOMCounters')).nodes;
    return { used, wasm, nodes };
  };
  await cdp.send('Performance.enable');
  const bytesOfMachine = fs.readFileSync(machineFile);
  const purchases = n => page.evaluate(async ({ n, file }) => {
    const p = window.jihankobo, m = p.machine;
    const until = f => new Promise(res => { const i = setInterval(() => { if (f()) { clearInterval(i); res(); } }, 5); });
    const scene = () => JSON.parse(m.scene());
    for (let i = 0; i < n; ++i) {
      if (i % 5 === 0) m.open(new Uint8Array(file), 'figures-vending.jhk'); // five in stock
      m.command('run');
      const s = scene();
      const slot = s.parts.find(x => x.kind === 2), button = s.parts.find(x => x.kind === 1), lever = s.parts.find(x => x.kind === 7);
      m.coinDrop(2, slot.x + slot.w / 2, slot.y + slot.h / 2);
      m.coinDrop(3, slot.x + slot.w / 2, slot.y + slot.h / 2);
      m.touch(button.slot);
      await until(() => scene().products.some(x => x.visible));
      m.touch(lever.slot);
      await until(() => document.querySelector('#dialog-layer [data-answer]'));
      document.querySelector('#dialog-layer [data-answer]').click();
      m.command('stop');
      p.changed();
      await new Promise(r => requestAnimationFrame(r));
    }
  }, { n, file: [...bytesOfMachine] });
  await purchases(5);
  const before = await heap();
  const t0 = Date.now();
  await purchases(50);
  const half = await heap();
  await purchases(50);
  const after = await heap();
  const show = k => `${kb(before[k])} → ${kb(half[k])} → ${kb(after[k])}`;
  say(`memory before, after 50 and after 100 purchases (${((Date.now() - t0) / 1000).toFixed(0)} s): JavaScript heap ${show('used')}, the module's memory ${show('wasm')}, DOM nodes ${before.nodes} → ${half.nodes} → ${after.nodes}`);
  await context.close();

  if (shots) {
    // The window at 100 %: the machine as it opens, in editing (compare docs/stage-main-window.png).
    {
      const c = await browser.newContext({ viewport: { width: 777, height: 529 } });
      const p = await c.newPage();
      await p.goto(base + '?machine=figures-vending.jhk');
      await ready(p);
      await p.waitForTimeout(300);
      await p.screenshot({ path: path.join(shots, 'web-page-desktop.png') });
      await c.close();
    }
    // A tablet: 実行, a 100-yen and a 50-yen coin dragged with a finger, the button tapped.
    {
      const c = await browser.newContext({ viewport: { width: 1024, height: 768 }, deviceScaleFactor: 2, hasTouch: true, isMobile: true });
      const p = await c.newPage();
      await p.goto(base + '?machine=figures-vending.jhk');
      await ready(p);
      await p.tap('#cmdStart');
      const touch = await c.newCDPSession(p);
      const point = async (x, y) => { const b = await p.locator('#Picture1').boundingBox(); return [b.x + x * b.width / 408, b.y + y * b.height / 500]; };
      for (const d of [2, 3]) {
        const s = JSON.parse(await p.evaluate(() => window.jihankobo.machine.scene()));
        const k = s.coins.find(x => x.denomination === d && x.visible), slot = s.parts.find(x => x.kind === 2);
        const [x0, y0] = await point(k.x + k.w / 2, k.y + k.h / 2), [x1, y1] = await point(slot.x + slot.w / 2, slot.y + slot.h / 2);
        await touch.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [{ x: x0, y: y0 }] });
        for (let i = 1; i <= 8; ++i)
          await touch.send('Input.dispatchTouchEvent', { type: 'touchMove', touchPoints: [{ x: x0 + (x1 - x0) * i / 8, y: y0 + (y1 - y0) * i / 8 }] });
        await touch.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
        await p.waitForTimeout(200);
      }
      const b = JSON.parse(await p.evaluate(() => window.jihankobo.machine.scene())).parts.find(x => x.kind === 1);
      await p.touchscreen.tap(...await point(b.x + b.w / 2, b.y + b.h / 2));
      await p.waitForFunction(() => JSON.parse(window.jihankobo.machine.scene()).products.some(x => x.visible), null, { timeout: 10000 });
      await p.waitForTimeout(300);
      await p.screenshot({ path: path.join(shots, 'web-page-tablet.png') });
      await c.close();
    }
    // The run view beside the window, as on the desktop: a purchase at normal speed, then the
    // button's program at the slowest speed, a block being executed.
    const c = await browser.newContext({ viewport: { width: 1559, height: 562 } });
    const p = await c.newPage();
    await p.goto(base + '?machine=figures-vending.jhk');
    await ready(p);
    await p.click('#cmdStart');
    await p.click('#cmdRunView');
    const sceneOf = () => p.evaluate(() => JSON.parse(window.jihankobo.machine.scene()));
    const point = async (x, y) => { const b = await p.locator('#Picture1').boundingBox(); return [b.x + x * b.width / 408, b.y + y * b.height / 500]; };
    const coin = async d => {
      const s = await sceneOf(), k = s.coins.find(x => x.denomination === d && x.visible), slot = s.parts.find(x => x.kind === 2);
      await p.mouse.move(...await point(k.x + k.w / 2, k.y + k.h / 2)); await p.mouse.down();
      await p.mouse.move(...await point(slot.x + slot.w / 2, slot.y + slot.h / 2), { steps: 5 }); await p.mouse.up();
      await p.waitForTimeout(200);
    };
    const buy = async () => { const b = (await sceneOf()).parts.find(x => x.kind === 1); await p.mouse.click(...await point(b.x + b.w / 2, b.y + b.h / 2)); };
    for (const d of [2, 3]) await coin(d);
    await buy();
    await p.waitForTimeout(1500);
    for (const d of [3, 4, 4, 4, 4]) await coin(d); // 50 + 10 + 10 + 10 + 10 yen (30 yen were left)
    await p.click('#runSpeed3');
    await buy();
    await p.waitForTimeout(1400);
    await p.screenshot({ path: path.join(shots, 'web-page-runview.png') });
    await c.close();
  }
} finally {
  await browser.close();
  server.kill();
  fs.rmSync(path.join(site, 'figures-vending.jhk'), { force: true });
}
