// The run view "実行のようす": the shown part's flowchart with the block being executed and the
// path just taken, every part's variables, the messages and sounds, and the speed of a normal
// run, drawn as the module describes them (positions, colours, captions and their fitting all
// come from it). Open, the machine reports its run to it; closed, the run goes at full speed.
import type { Core, Machine } from './core';
import { arr, boxOf, canvasFont, drawFlowchart, FlowchartPictures, num, obj, str, type Box, type J } from './flowchart';

// Room around the canvas for the marks drawn just outside boxes at its edges, and on the right
// for the "▼" beside a box of the last column.
const Margin = 6;
const NextMarkRoom = 14;
const Ground = 'rgb(40,40,40)';
export class RunView {
  private root: HTMLElement;
  private canvas: HTMLCanvasElement;
  private chartBox: HTMLElement;
  private fit: HTMLInputElement;
  private table: HTMLTableElement;
  private log: HTMLElement;
  private titleEl: HTMLElement;
  private statusEl: HTMLElement;
  private speedBox: HTMLElement;
  private speeds: HTMLInputElement[] = [];
  private last = '';
  private lastLog = -1;
  private flashTimer = 0;
  private pictures = new FlowchartPictures(() => { this.last = ''; this.update(); });
  private twipsY = 15;

  constructor(private core: Core, private machine: Machine, private closed: () => void) {
    this.root = document.createElement('div');
    this.root.id = 'runview';
    this.root.setAttribute('role', 'dialog');
    this.root.setAttribute('aria-label', '実行のようす');
    this.root.innerHTML = `<div class="title"><span>実行のようす</span><button aria-label="閉じる">×</button></div>
<div class="rv-body"><div class="rv-left"><div class="rv-head" id="runViewTitle"></div><div class="rv-status" id="runViewStatus"></div>
<div class="rv-chart"><canvas id="runFlowchart"></canvas></div><label class="rv-fit"><input type="checkbox" id="runViewFit">縮小して全体を表示</label></div>
<div class="rv-right"><fieldset class="rv-speed"><legend>速さ</legend></fieldset><div>パーツと変数</div><div class="rv-table"><table id="runViewTable"></table></div>
<div>メッセージと音</div><div class="rv-log" id="runViewLog" role="list"></div></div></div>`;
    this.canvas = this.root.querySelector('canvas')!;
    this.chartBox = this.root.querySelector('.rv-chart')!;
    this.fit = this.root.querySelector('#runViewFit')!;
    this.table = this.root.querySelector('table')!;
    this.log = this.root.querySelector('.rv-log')!;
    this.titleEl = this.root.querySelector('.rv-head')!;
    this.statusEl = this.root.querySelector('.rv-status')!;
    this.speedBox = this.root.querySelector('.rv-speed')!;
    this.fit.addEventListener('change', () => this.layoutChart());
    new ResizeObserver(() => this.layoutChart()).observe(this.chartBox);
    this.root.querySelector('.title button')!.addEventListener('click', () => this.close());
    this.dragByTitle(this.root.querySelector('.title') as HTMLElement);
    document.body.appendChild(this.root);
    this.machine.showRunView(true);
    this.update();
  }

  close(): void {
    clearTimeout(this.flashTimer);
    this.machine.showRunView(false);
    this.root.remove();
    this.closed();
  }

  raise(): void { document.body.appendChild(this.root); }

  /** The width the full window takes on the page, its frame included, CSS pixels. */
  static readonly FullWidth = 782;
  /** What the window's frame (its border and title) adds to its size. */
  get frameWidth(): number { return this.root.offsetWidth - this.root.clientWidth; }
  get frameHeight(): number { return this.root.offsetHeight - this.root.clientHeight + (this.root.querySelector('.title') as HTMLElement).offsetHeight; }

  /** Draws the run view again when the module describes something new. */
  update(): void {
    const json = this.machine.runView();
    if (json === this.last) return;
    this.last = json;
    let v: J;
    try { v = JSON.parse(json) as J; } catch { return; }
    this.titleEl.textContent = str(v.title);
    this.statusEl.textContent = str(v.status);
    this.statusEl.style.color = str(v.statusColour);
    this.fillSpeeds(v);
    this.drawChart(v);
    this.fillTable(v);
    if (num(v.logSerial, -1) !== this.lastLog) {
      this.lastLog = num(v.logSerial, -1);
      this.log.replaceChildren(...(Array.isArray(v.log) ? v.log as unknown[] : []).map(line => {
        const d = document.createElement('div');
        d.setAttribute('role', 'listitem');
        d.textContent = str(line);
        return d;
      }));
      this.log.scrollTop = this.log.scrollHeight;
    }
    // A value marked as just changed is unmarked when its moment is over.
    clearTimeout(this.flashTimer);
    const flashEnd = num(v.nextFlashEndMs, -1);
    if (flashEnd >= 0) this.flashTimer = window.setTimeout(() => this.update(), Math.max(1, flashEnd + 5));
  }

  private fillSpeeds(v: J): void {
    const speeds = arr(v.speeds);
    if (this.speeds.length !== speeds.length) {
      this.speedBox.querySelectorAll('label').forEach(l => l.remove());
      this.speeds = speeds.map((s, i) => {
        const label = document.createElement('label');
        const radio = document.createElement('input');
        radio.type = 'radio';
        radio.name = 'rv-speed';
        radio.id = `runSpeed${i}`;
        radio.addEventListener('change', () => { if (radio.checked) { this.machine.setRunSpeed(i); this.update(); } });
        label.append(radio, str(s.caption));
        this.speedBox.appendChild(label);
        return radio;
      });
    }
    const chosen = num(v.speed, 0);
    this.speeds.forEach((r, i) => { r.checked = i === chosen; });
  }

  private fillTable(v: J): void {
    const rows = arr(v.rows);
    const shown = num(v.shownPart, -1);
    const flash = str(v.flashColour);
    const width = Math.max(0, ...rows.map(r => arr(r.cells).length));
    const head = document.createElement('tr');
    for (const h of ['番号', '種類', ...Array<string>(width).fill('変数')]) {
      const th = document.createElement('th');
      th.textContent = h;
      head.appendChild(th);
    }
    const body = rows.map(r => {
      const tr = document.createElement('tr');
      const bold = num(r.slot) === shown;
      const cell = (text: string, strong: boolean, background = '') => {
        const td = document.createElement('td');
        td.textContent = text;
        if (strong) td.style.fontWeight = 'bold';
        if (background) { td.style.background = background; td.className = 'flash'; }
        tr.appendChild(td);
      };
      cell(`No.${num(r.slot)}`, bold);
      cell(str(r.kindName), bold);
      const vars = arr(r.cells);
      for (let i = 0; i < width; ++i) {
        const c = vars[i];
        if (c) cell(`${str(c.label)} ${str(c.value)}`, !!c.flashing, c.flashing ? flash : '');
        else cell('', false);
      }
      return tr;
    });
    this.table.replaceChildren(head, ...body);
  }

  // ---- the flowchart, as the desktop's canvas draws it ----

  private layoutChart(): void {
    const w = this.canvas.width, h = this.canvas.height;
    if (this.fit.checked) {
      const s = Math.max(0.1, Math.min(this.chartBox.clientWidth / w, this.chartBox.clientHeight / h));
      this.canvas.style.width = `${w * s}px`;
      this.canvas.style.height = `${h * s}px`;
      this.chartBox.classList.add('fit');
    } else {
      this.canvas.style.width = `${w}px`;
      this.canvas.style.height = `${h}px`;
      this.chartBox.classList.remove('fit');
    }
  }

  private font(pixels: number): string { return canvasFont(pixels, this.twipsY); }

  private picture(url: string): HTMLImageElement | null { return this.pictures.get(url); }

  private drawChart(v: J): void {
    const f = obj(v.flowchart);
    const cw = f ? num(f.width, 353) : 353, ch = f ? num(f.height, 441) : 441;
    const w = cw + 2 * Margin + NextMarkRoom, h = ch + 2 * Margin;
    if (this.canvas.width !== w || this.canvas.height !== h) {
      this.canvas.width = w;
      this.canvas.height = h;
      this.layoutChart();
    }
    const c = this.canvas.getContext('2d')!;
    c.setTransform(1, 0, 0, 1, 0, 0);
    c.fillStyle = Ground;
    c.fillRect(0, 0, w, h);
    if (!f) return;
    c.translate(Margin, Margin);
    drawFlowchart(c, f, this.core, url => this.picture(url), () => {
      // The path just taken: broad and bright, under the boxes.
      c.strokeStyle = str(f.pathColour);
      c.lineWidth = 3;
      c.lineCap = 'round';
      for (const l of arr(f.pathLines)) {
        c.beginPath();
        c.moveTo(num(l.x1), num(l.y1));
        c.lineTo(num(l.x2), num(l.y2));
        c.stroke();
      }
    });

    // The marks of the run: where it stopped, the block being executed, the block "▼" runs next.
    const frame = (b: Box, colour: string, width: number, dashed = false) => {
      c.strokeStyle = colour;
      c.lineWidth = width;
      c.setLineDash(dashed ? [width * 4, width * 2] : []);
      c.strokeRect(b.x - 3, b.y - 3, b.w + 5, b.h + 5);
      c.setLineDash([]);
      c.lineWidth = 1;
    };
    const stopped = boxOf(f.stopped), running = boxOf(f.running), next = boxOf(f.next);
    if (stopped) frame(stopped, str(f.stoppedColour), 3);
    if (running) frame(running, str(f.runningColour), 4);
    if (next) {
      frame(next, str(f.nextColour), 2, true);
      c.fillStyle = str(f.nextColour);
      c.font = this.font(12);
      c.textAlign = 'center';
      c.fillText('▼', next.x + next.w + 4 + 8, next.y + next.h / 2);
      c.textAlign = 'left';
    }
  }

  // ---- the window ----

  /** Where the run view's rule puts it; compact: two rows of speeds, the whole flowchart scaled. */
  place(r: { x: number; y: number; w: number; h: number; compact: boolean }): void {
    Object.assign(this.root.style, { left: `${r.x}px`, top: `${r.y}px`, width: `${r.w}px`, height: `${r.h}px` });
    if (r.compact !== this.root.classList.contains('compact')) {
      this.root.classList.toggle('compact', r.compact);
      if (r.compact) this.fit.checked = true;
      this.layoutChart();
    }
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
