// The run view "実行のようす": the shown part's flowchart with the running block and the blocks
// just run, every part's variables, the messages and sounds, as the module describes them.
import type { Machine } from './core';

type J = Record<string, unknown>;
const arr = (v: unknown): J[] => (Array.isArray(v) ? v as J[] : []);
const num = (v: unknown, d = 0) => (typeof v === 'number' ? v : d);
const str = (v: unknown) => (typeof v === 'string' ? v : v === undefined || v === null ? '' : String(v));

const PathColour = 'rgb(255,170,0)';
const StoppedColour = 'rgb(255,60,60)';
const Speeds: [string, number][] = [['ふつう', 0], ['0.2秒', 200], ['0.5秒', 500], ['1秒', 1000]];

export class RunView {
  private root: HTMLElement;
  private canvas: HTMLCanvasElement;
  private table: HTMLTableElement;
  private log: HTMLElement;
  private titleEl: HTMLElement;
  private statusEl: HTMLElement;
  private speeds: HTMLInputElement[] = [];
  private last = '';

  constructor(private machine: Machine, private closed: () => void) {
    this.root = document.createElement('div');
    this.root.id = 'runview';
    this.root.setAttribute('role', 'dialog');
    this.root.setAttribute('aria-label', '実行のようす');
    this.root.innerHTML = `<div class="title"><span>実行のようす</span><button aria-label="閉じる">×</button></div>
<div class="rv-body"><div class="rv-left"><div class="rv-head"></div><div class="rv-status"></div><div class="rv-chart"><canvas></canvas></div></div>
<div class="rv-right"><fieldset class="rv-speed"><legend>速さ</legend></fieldset><div>パーツと変数</div><div class="rv-table"><table></table></div>
<div>メッセージと音</div><div class="rv-log"></div></div></div>`;
    this.canvas = this.root.querySelector('canvas')!;
    this.table = this.root.querySelector('table')!;
    this.log = this.root.querySelector('.rv-log')!;
    this.titleEl = this.root.querySelector('.rv-head')!;
    this.statusEl = this.root.querySelector('.rv-status')!;
    const speedBox = this.root.querySelector('.rv-speed')!;
    Speeds.forEach(([caption, ms], i) => {
      const label = document.createElement('label');
      const radio = document.createElement('input');
      radio.type = 'radio';
      radio.name = 'rv-speed';
      radio.value = String(ms);
      radio.checked = i === 0;
      // The block delay belongs to the module: the choice is shown, and set where it can be.
      const m = this.machine as unknown as { setSpeed?: (i: number) => void };
      radio.disabled = typeof m.setSpeed !== 'function';
      radio.addEventListener('change', () => { m.setSpeed?.(i); this.update(); });
      label.append(radio, caption);
      speedBox.appendChild(label);
      this.speeds.push(radio);
    });
    this.root.querySelector('.title button')!.addEventListener('click', () => this.close());
    this.dragByTitle(this.root.querySelector('.title') as HTMLElement);
    document.body.appendChild(this.root);
  }

  close(): void { this.root.remove(); this.closed(); }

  update(): void {
    const json = this.machine.runView();
    if (json === this.last) return;
    this.last = json;
    let v: J;
    try { v = JSON.parse(json) as J; } catch { return; }
    this.titleEl.textContent = str(v.title);
    this.statusEl.textContent = str(v.status);
    const delay = num(v.blockDelayMs, 0);
    for (const r of this.speeds) r.checked = Number(r.value) === delay;
    this.drawChart(v);
    this.fillTable(v);
    const lines = Array.isArray(v.log) ? (v.log as unknown[]).map(str) : [];
    this.log.textContent = lines.join('\n');
    this.log.scrollTop = this.log.scrollHeight;
  }

  private fillTable(v: J): void {
    const rows = arr(v.rows);
    const shown = num(v.shownPart, -1);
    const width = Math.max(2, ...rows.map(r => arr(r.cells).length));
    const head = `<tr><th>番号</th><th>種類</th>${'<th>変数</th>'.repeat(width)}</tr>`;
    this.table.innerHTML = head;
    for (const r of rows) {
      const tr = document.createElement('tr');
      if (num(r.slot) === shown) tr.className = 'shown';
      const cells = [`No.${num(r.slot)}`, str(r.kindName)];
      for (const c of cells) { const td = document.createElement('td'); td.textContent = c; tr.appendChild(td); }
      const vars = arr(r.cells);
      for (let i = 0; i < width; ++i) {
        const td = document.createElement('td');
        const c = vars[i];
        if (c) { td.textContent = `${str(c.label)} ${str(c.value)}`; if (c.flashing) td.className = 'flash'; }
        tr.appendChild(td);
      }
      this.table.appendChild(tr);
    }
  }

  private drawChart(v: J): void {
    const f = v.flowchart && typeof v.flowchart === 'object' ? v.flowchart as J : null;
    const w = f ? num(f.width, 380) : 380, h = f ? num(f.height, 440) : 440;
    if (this.canvas.width !== w || this.canvas.height !== h) { this.canvas.width = w; this.canvas.height = h; }
    const c = this.canvas.getContext('2d')!;
    c.fillStyle = '#000';
    c.fillRect(0, 0, w, h);
    if (!f) return;
    c.font = '12px "JHK Gothic", sans-serif';
    if (str(f.notice)) {
      c.fillStyle = '#fff';
      c.font = '15px "JHK Gothic", sans-serif';
      wrap(c, str(f.notice), 5, 5, w - 10, 18);
      c.font = '12px "JHK Gothic", sans-serif';
    }
    const connectors = arr(f.connectors);
    c.lineWidth = 1;
    for (const l of connectors) {
      if (l.type !== 'line') continue;
      c.strokeStyle = str(l.colour) || '#0f0';
      c.beginPath();
      c.moveTo(num(l.x1) + 0.5, num(l.y1) + 0.5);
      c.lineTo(num(l.x2) + 0.5, num(l.y2) + 0.5);
      c.stroke();
    }
    const ovals = !!f.ovalsVisible;
    const endBox = (b: J, caption: string) => {
      const x = num(b.x), y = num(b.y), bw = num(b.w), bh = num(b.h);
      if (ovals) { c.fillStyle = 'rgb(192,255,192)'; c.beginPath(); c.ellipse(x + bw / 2, y + bh / 2, bw / 2, bh / 2, 0, 0, Math.PI * 2); c.fill(); }
      c.fillStyle = ovals ? '#000' : '#fff';
      c.font = '15px "JHK Gothic", sans-serif';
      c.textAlign = 'center'; c.textBaseline = 'middle';
      c.fillText(caption, x + bw / 2, y + bh / 2);
      c.textAlign = 'start';
      c.font = '12px "JHK Gothic", sans-serif';
    };
    if (f.startBoxVisible && f.startBox) endBox(f.startBox as J, '開始');
    if (f.endBox) endBox(f.endBox as J, '終了');
    const boxes = arr(f.boxes);
    const bySlot = new Map(boxes.map(b => [num(b.slot), b]));
    // The blocks just run: framed thinly in the path's colour.
    for (const p of arr(v.path)) {
      const b = bySlot.get(num(p.from, -1));
      if (b) frame(c, b, PathColour, 2);
    }
    for (const b of boxes) {
      const x = num(b.x), y = num(b.y), bw = num(b.w), bh = num(b.h);
      if (b.branch) {
        c.fillStyle = b.complete ? 'rgb(0,128,64)' : 'rgb(160,40,120)';
        c.strokeStyle = '#fff';
        c.beginPath();
        c.moveTo(x + bw / 2, y); c.lineTo(x + bw, y + bh / 2); c.lineTo(x + bw / 2, y + bh); c.lineTo(x, y + bh / 2);
        c.closePath(); c.fill(); c.stroke();
        c.fillStyle = 'rgb(255,255,0)';
      } else {
        c.fillStyle = b.complete ? 'rgb(192,255,192)' : 'rgb(255,192,255)';
        c.fillRect(x, y, bw, bh);
        c.fillStyle = '#000';
      }
      c.textBaseline = 'middle';
      c.save();
      c.beginPath(); c.rect(x, y, bw, bh); c.clip();
      wrap(c, str(b.caption), x + 2, y + bh / 2 - (c.measureText(str(b.caption)).width > bw - 4 ? 7 : 0), bw - 4, 14);
      c.restore();
    }
    const stopped = bySlot.get(num(v.stoppedBlock, -1));
    if (stopped) frame(c, stopped, StoppedColour, 3);
    const running = bySlot.get(num(v.runningBlock, -1)) ?? bySlot.get(num(v.waitingBlock, -1));
    if (running) frame(c, running, PathColour, 4);
  }

  private dragByTitle(title: HTMLElement): void {
    let start: [number, number, number, number] | null = null;
    title.addEventListener('pointerdown', e => {
      if ((e.target as HTMLElement).tagName === 'BUTTON') return;
      start = [e.clientX, e.clientY, this.root.offsetLeft, this.root.offsetTop];
      title.setPointerCapture(e.pointerId);
    });
    title.addEventListener('pointermove', e => {
      if (!start) return;
      this.root.style.left = `${start[2] + e.clientX - start[0]}px`;
      this.root.style.top = `${start[3] + e.clientY - start[1]}px`;
    });
    title.addEventListener('pointerup', () => { start = null; });
  }
}

function frame(c: CanvasRenderingContext2D, b: J, colour: string, width: number): void {
  c.strokeStyle = colour;
  c.lineWidth = width;
  c.strokeRect(num(b.x) - 3, num(b.y) - 3, num(b.w) + 5, num(b.h) + 5);
  c.lineWidth = 1;
}

/** Text broken at the width given, character by character (Japanese has no spaces). */
function wrap(c: CanvasRenderingContext2D, text: string, x: number, y: number, width: number, lineHeight: number): void {
  let line = '';
  for (const ch of text) {
    if (ch === '\n' || (line && c.measureText(line + ch).width > width)) {
      c.fillText(line, x, y);
      y += lineHeight;
      line = ch === '\n' ? '' : ch;
    } else line += ch;
  }
  if (line) c.fillText(line, x, y);
}
