// Printing from the page: the module lays out the printout of the machine and the worksheets
// (the desktop's page layouts, measured in the page's fonts); the page draws the laid-out pages
// as SVG into a print-only element (print.css) and hands them to the browser's print, which
// goes to any printer the device has or to a PDF.
//
//   printMachine(machine, pictures, numbers)   the print dialog's picture of the machine
//   printWorksheet(machine, partIndex, blank)  a part's worksheet (partIndex -1: every part
//                                              with a program), filled in or blank
//   showPrintDialog(machine, pictures)         the window of ファイル → 印刷
//
// Each resolves to "" once the browser's print has been asked for, or to the module's
// refusal (a machine that is running, a part without a program), which the caller shows.

import type { Machine } from './core';
import { modalWindow } from './dialogs';
import type { Pictures } from './pictures';

/** A font of a laid-out page: "" is the page's own font for the program's texts. */
export interface PaperFont { family: string; pixels: number; bold: boolean; }

/** What the module measures text with, in CSS pixels. */
export interface PaperMeasure {
  advance(text: string, font: PaperFont): number;
  metrics(font: PaperFont): { ascent: number; height: number };
  ink(text: string, font: PaperFont): { left: number; right: number };
}

interface PaperItem {
  kind: 'picture' | 'fill' | 'text' | 'line' | 'box' | 'oval' | 'decision' | 'clip' | 'unclip';
  x: number; y: number; w: number; h: number;
  picture?: string; slot?: number; partKind?: number;
  text?: string; family?: string; pixels?: number; bold?: boolean; colour?: string; opaque?: boolean;
  ax?: number; ay?: number; bx?: number; by?: number; pen?: number; tip?: number;
}
interface PaperPage { width: number; height: number; items: PaperItem[]; }

/** The module's page layouts (see src/wasm/PagePrint.h). */
export interface PrintingMachine extends Machine {
  printLayout(numbers: boolean, pageWidth: number, measure: PaperMeasure): string;
  worksheetLayout(part: number, blank: boolean, title: string, measure: PaperMeasure): string;
}

// The printable width of an A4 page with the margins print.css leaves (8 mm each side).
const PrintoutWidth = Math.round((210 - 16) / 25.4 * 96);
const SvgNs = 'http://www.w3.org/2000/svg';

/** The CSS font family of a laid-out font, as the stage draws the same texts. */
function cssFamily(family: string): string {
  if (family === '') return '"JHK Sans", "JHK Gothic", sans-serif';
  if (family === 'IPAGothic') return '"JHK Gothic", "IPAGothic", sans-serif';
  return `"${family.replace(/"/g, '')}", "JHK Sans", "JHK Gothic", sans-serif`;
}
const cssFont = (f: PaperFont): string => `${f.bold ? 'bold ' : ''}${f.pixels}px ${cssFamily(f.family)}`;

/** The page's fonts measured by a canvas, as the browser will print them. */
export function pageMeasure(): PaperMeasure {
  const c = document.createElement('canvas').getContext('2d')!;
  const use = (f: PaperFont) => { c.font = cssFont(f); };
  return {
    advance(text, font) { use(font); return c.measureText(text).width; },
    metrics(font) {
      use(font);
      const m = c.measureText('Mgあ');
      const ascent = m.fontBoundingBoxAscent ?? font.pixels * 0.88;
      const descent = m.fontBoundingBoxDescent ?? font.pixels * 0.12;
      return { ascent, height: ascent + descent };
    },
    ink(text, font) {
      use(font);
      const m = c.measureText(text);
      return { left: -m.actualBoundingBoxLeft, right: m.actualBoundingBoxRight };
    },
  };
}

/** Every face a layout may use, loaded before anything is measured. */
async function loadFonts(): Promise<void> {
  await Promise.all(['12px "JHK Sans"', 'bold 12px "JHK Sans"', '12px "JHK Gothic"']
    .map(f => document.fonts.load(f, 'Aあ').catch(() => [])));
}

function svg<K extends keyof SVGElementTagNameMap>(name: K, attrs: Record<string, string | number>): SVGElementTagNameMap[K] {
  const el = document.createElementNS(SvgNs, name);
  for (const [k, v] of Object.entries(attrs)) el.setAttribute(k, String(v));
  return el;
}

/** The pictures of a printout at their natural sizes, loaded before the page is drawn. */
async function loadPictures(page: PaperPage, pictures: Pictures | null): Promise<Map<PaperItem, HTMLImageElement>> {
  const out = new Map<PaperItem, HTMLImageElement>();
  if (!pictures) return out;
  await Promise.all(page.items.filter(i => i.kind === 'picture').map(async i => {
    const name = i.picture ?? '';
    const url = name === 'dummy' && (i.slot ?? -1) >= 0 ? `builtin/kinds/kind_${i.partKind}.png` : pictures.resolve(name);
    if (!url) return;
    const img = new Image();
    img.src = url;
    try { await img.decode(); out.set(i, img); } catch { /* a picture that cannot be read is left out, as on paper */ }
  }));
  return out;
}

/** One laid-out page as an SVG picture of its size. */
function drawPage(page: PaperPage, images: Map<PaperItem, HTMLImageElement>): SVGSVGElement {
  let width = page.width;
  let height = page.height;
  const root = svg('svg', {});
  root.classList.add('print-page');
  let parent: SVGElement = root;
  let clips = 0;
  const grow = (r: number, b: number) => { width = Math.max(width, r); height = Math.max(height, b); };
  for (const i of page.items) {
    switch (i.kind) {
    case 'picture': {
      const img = images.get(i);
      if (!img) break;
      const w = img.naturalWidth * i.w, h = img.naturalHeight * i.h;
      parent.append(svg('image', { href: img.src, x: i.x, y: i.y, width: w, height: h, preserveAspectRatio: 'none' }));
      grow(i.x + w, i.y + h);
      break;
    }
    case 'fill':
      parent.append(svg('rect', { x: i.x, y: i.y, width: i.w, height: i.h, fill: i.colour ?? '#000' }));
      grow(i.x + i.w, i.y + i.h);
      break;
    case 'text': {
      if (i.opaque) parent.append(svg('rect', { x: i.x, y: i.y, width: i.w, height: i.h, fill: '#fff' }));
      const t = svg('text', {
        x: i.ax ?? i.x, y: i.ay ?? i.y, 'font-family': cssFamily(i.family ?? ''), 'font-size': `${i.pixels}px`,
        'font-weight': i.bold ? 'bold' : 'normal', fill: i.colour ?? '#000',
      });
      t.style.whiteSpace = 'pre';
      t.textContent = i.text ?? '';
      parent.append(t);
      grow(i.x + i.w, i.y + i.h);
      break;
    }
    case 'line':
      parent.append(svg('line', { x1: i.ax!, y1: i.ay!, x2: i.bx!, y2: i.by!, stroke: i.colour ?? '#000', 'stroke-width': i.pen ?? 1 }));
      break;
    case 'box':
      parent.append(svg('rect', { x: i.x, y: i.y, width: i.w, height: i.h, fill: '#fff', stroke: '#000' }));
      break;
    case 'oval':
      parent.append(svg('ellipse', { cx: i.x + i.w / 2, cy: i.y + i.h / 2, rx: i.w / 2, ry: i.h / 2, fill: '#fff', stroke: '#000' }));
      break;
    case 'decision': {
      const t = i.tip ?? 0, r = i.x + i.w, b = i.y + i.h, cy = i.y + i.h / 2;
      const points = [[i.x + t, i.y], [r - t, i.y], [r, cy], [r - t, b], [i.x + t, b], [i.x, cy]].map(p => p.join(',')).join(' ');
      parent.append(svg('polygon', { points, fill: '#fff', stroke: '#000' }));
      break;
    }
    case 'clip': {
      const id = `print-clip-${Math.random().toString(36).slice(2)}-${clips++}`;
      const clip = svg('clipPath', { id });
      clip.append(svg('rect', { x: i.x, y: i.y, width: i.w, height: i.h }));
      root.append(clip);
      const g = svg('g', { 'clip-path': `url(#${id})` });
      parent.append(g);
      parent = g;
      break;
    }
    case 'unclip':
      parent = (parent.parentNode as SVGElement | null) ?? root;
      break;
    }
  }
  width = Math.ceil(width);
  height = Math.ceil(height);
  root.setAttribute('width', String(width));
  root.setAttribute('height', String(height));
  root.setAttribute('viewBox', `0 0 ${width} ${height}`);
  return root;
}

/** The print-only element with these pages in it, and the paper they are laid out for. */
async function preparePrint(pages: PaperPage[], pictures: Pictures | null, pageRule: string): Promise<void> {
  document.getElementById('print-area')?.remove();
  document.getElementById('print-page-rule')?.remove();
  const area = document.createElement('div');
  area.id = 'print-area';
  for (const page of pages) area.append(drawPage(page, await loadPictures(page, pictures)));
  const rule = document.createElement('style');
  rule.id = 'print-page-rule';
  rule.textContent = `@media print { @page { ${pageRule} } }`;
  document.head.append(rule);
  document.body.append(area);
}

/** The browser's print of the prepared pages; they go once it is over. */
function browserPrint(): void {
  window.addEventListener('afterprint', () => {
    document.getElementById('print-area')?.remove();
    document.getElementById('print-page-rule')?.remove();
  }, { once: true });
  window.print();
}

/** Lays out the printout of the machine and prints it; "" or the reason it cannot. */
export async function printMachine(machine: Machine, pictures: Pictures, numbers: boolean): Promise<string> {
  await loadFonts();
  const laid = JSON.parse((machine as PrintingMachine).printLayout(numbers, PrintoutWidth, pageMeasure())) as { page?: PaperPage; refusal?: string };
  if (!laid.page) return laid.refusal ?? '';
  await preparePrint([laid.page], pictures, 'margin: 8mm;');
  browserPrint();
  return '';
}

/** Lays out a part's worksheet (every part's with -1), filled in or blank, and prints it on
 *  A4; "" or the reason there is none. The browser's print also saves it as a PDF. */
export async function printWorksheet(machine: Machine, partIndex: number, blank: boolean): Promise<string> {
  await loadFonts();
  const scene = JSON.parse(machine.scene()) as { fileName?: string };
  const title = (scene.fileName ?? '').split(/[\\/]/).pop() ?? '';
  const laid = JSON.parse((machine as PrintingMachine).worksheetLayout(partIndex, blank, title, pageMeasure())) as { pages: PaperPage[]; refusal?: string };
  if (laid.refusal) return laid.refusal;
  await preparePrint(laid.pages, null, 'size: A4; margin: 0;');
  browserPrint();
  return '';
}

/** ファイル → 印刷: the desktop's print dialog "印刷" with its two boxes. "用紙設定" is the
 *  browser's own print dialog, where the paper is chosen. `failed` shows a refusal. */
export function showPrintDialog(machine: Machine, pictures: Pictures, failed: (text: string) => void): HTMLElement {
  const { layer, win } = modalWindow('frmPrintDialog', '印刷');
  win.innerHTML = `<div class="title">印刷</div>
    <div class="client" style="width:320px;height:115px">
      <fieldset class="group" id="FramePrintSetting" style="left:0;top:8px;width:225px;height:97px"><legend>プリント内容の設定</legend>
        <label class="option" style="position:absolute;left:16px;top:16px;width:193px;height:33px"><input type="checkbox" id="chkPictPrint" checked><span>自動販売機外観のプリント</span></label>
        <label class="option" style="position:absolute;left:40px;top:40px;width:153px;height:25px"><input type="checkbox" id="chkNumPrint" checked><span>パーツ番号の印刷</span></label>
      </fieldset>
      <button id="cmdPSetting" class="push" style="left:240px;top:16px;width:73px;height:25px" title="ブラウザーの印刷画面を開きます（用紙はその画面で選びます）">用紙設定</button>
      <button id="cmdCancel" class="push" style="left:240px;top:48px;width:73px;height:25px">キャンセル</button>
      <button id="cmdOK" class="push default" style="left:240px;top:80px;width:73px;height:25px">印刷</button>
    </div>`;
  const box = (id: string) => win.querySelector<HTMLInputElement>('#' + id)!;
  const close = () => layer.remove();
  const print = () => {
    const picture = box('chkPictPrint').checked, numbers = box('chkNumPrint').checked;
    close();
    if (picture) void printMachine(machine, pictures, numbers).then(text => { if (text) failed(text); });
  };
  win.querySelector('#cmdOK')!.addEventListener('click', print);
  win.querySelector('#cmdCancel')!.addEventListener('click', close);
  // The browser has no set-up of its own apart from its print: the paper is chosen there.
  win.querySelector('#cmdPSetting')!.addEventListener('click', print);
  win.addEventListener('keydown', e => {
    if (e.key === 'Escape') { e.preventDefault(); e.stopPropagation(); close(); }
    else if (e.key === 'Enter' && !(e.target instanceof HTMLButtonElement)) { e.preventDefault(); print(); }
  });
  layer.appendChild(win);
  document.getElementById('main-window')!.appendChild(layer);
  (win.querySelector('#cmdOK') as HTMLElement).focus();
  return layer;
}
