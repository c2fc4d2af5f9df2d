// The run view "実行のようす": the running part's flowchart with the running block and the trail
// of blocks run, every part's variables, the log and the speed, as the module describes them.
import type { Machine } from './core';

type J = Record<string, unknown>;
const arr = (v: unknown): J[] => (Array.isArray(v) ? v as J[] : []);
const num = (v: unknown, d = 0) => (typeof v === 'number' ? v : d);
const str = (v: unknown) => (typeof v === 'string' ? v : v === undefined || v === null ? '' : String(v));

export class RunView {
  private root: HTMLElement;
  private canvas: HTMLCanvasElement;
  private vars: HTMLElement;
  private log: HTMLElement;
  private speed: HTMLElement;
  private last = '';

  constructor(private machine: Machine, private closed: () => void) {
    this.root = document.createElement('div');
    this.root.id = 'runview';
    this.root.setAttribute('role', 'dialog');
    this.root.setAttribute('aria-label', '実行のようす');
    this.root.innerHTML = '<div class="title"><span>実行のようす</span><button aria-label="閉じる">×</button></div>'
      + '<div class="panes"><canvas width="340" height="260"></canvas><div class="vars"></div><div class="log"></div></div><div class="speed"></div>';
    this.canvas = this.root.querySelector('canvas')!;
    this.vars = this.root.querySelector('.vars')!;
    this.log = this.root.querySelector('.log')!;
    this.speed = this.root.querySelector('.speed')!;
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
    this.drawChart(v);
    const parts = arr(v.variables ?? v.parts);
    this.vars.textContent = parts.map(p => {
      const name = str(p.name ?? p.caption);
      const values = arr(p.values).map(x => `  ${str(x.name)}：${str(x.value)}`);
      const plain = values.length ? values : ['A', 'B', 'C'].filter(k => k in p).map(k => `  ${k}：${str(p[k])}`);
      return [`${num(p.slot, 0)} ${name}`, ...plain].join('\n');
    }).join('\n');
    const lines = Array.isArray(v.log) ? (v.log as unknown[]).map(str) : [];
    this.log.textContent = lines.join('\n');
    this.log.scrollTop = this.log.scrollHeight;
    this.speed.textContent = str(v.speedText ?? v.speed);
  }

  private drawChart(v: J): void {
    const scene = (v.scene && typeof v.scene === 'object' ? v.scene : v) as J;
    const blocks = arr(scene.blocks);
    const c = this.canvas.getContext('2d')!;
    const maxX = Math.max(340, ...blocks.map(b => num(b.x) + num(b.w) + 10));
    const maxY = Math.max(260, ...blocks.map(b => num(b.y) + num(b.h) + 10));
    if (this.canvas.width !== maxX || this.canvas.height !== maxY) { this.canvas.width = maxX; this.canvas.height = maxY; }
    c.fillStyle = '#fff';
    c.fillRect(0, 0, maxX, maxY);
    c.strokeStyle = '#000';
    for (const l of arr(scene.lines ?? scene.connectors)) {
      const pts = arr(l.points);
      if (pts.length < 2) continue;
      c.beginPath();
      c.moveTo(num(pts[0].x), num(pts[0].y));
      for (const p of pts.slice(1)) c.lineTo(num(p.x), num(p.y));
      c.stroke();
    }
    const running = num(v.running ?? scene.running, -1);
    const trail = new Set((Array.isArray(v.trail) ? v.trail : []) as number[]);
    c.font = '12px "JHK Gothic", sans-serif';
    c.textBaseline = 'middle';
    c.textAlign = 'center';
    for (const b of blocks) {
      const idx = num(b.index, -2);
      c.fillStyle = idx === running || b.running ? '#ff8080' : trail.has(idx) || b.trail ? '#ffe0a0' : '#e8f0ff';
      c.fillRect(num(b.x), num(b.y), num(b.w), num(b.h));
      c.strokeRect(num(b.x) + 0.5, num(b.y) + 0.5, num(b.w) - 1, num(b.h) - 1);
      c.fillStyle = '#000';
      c.fillText(str(b.caption ?? b.text), num(b.x) + num(b.w) / 2, num(b.y) + num(b.h) / 2, num(b.w) - 4);
    }
    c.textAlign = 'start';
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
