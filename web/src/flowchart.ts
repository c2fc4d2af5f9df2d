// The flowchart of a part as the desktop's canvas draws it, from the module's description
// (positions in canvas pixels, colours, captions and their fitting all come from it): the notice
// of level 1, the connectors, the start and end boxes, the block boxes and the branch captions.
// The block editor and the run view both draw with it.
import type { Core } from './core';

export type J = Record<string, unknown>;
export const arr = (v: unknown): J[] => (Array.isArray(v) ? v as J[] : []);
export const num = (v: unknown, d = 0) => (typeof v === 'number' ? v : d);
export const str = (v: unknown) => (typeof v === 'string' ? v : v === undefined || v === null ? '' : String(v));
export const obj = (v: unknown): J | null => (v && typeof v === 'object' && !Array.isArray(v) ? v as J : null);

export interface Box { x: number; y: number; w: number; h: number; }
export const boxOf = (v: unknown): Box | null => {
  const o = obj(v);
  return o ? { x: num(o.x), y: num(o.y), w: num(o.w), h: num(o.h) } : null;
};

/** The built-in pictures a flowchart draws (the branch markers), decoded once; `loaded` is called
 *  when one becomes ready, to draw again. */
export class FlowchartPictures {
  private images = new Map<string, HTMLImageElement>();
  constructor(private loaded: () => void) {}
  get(url: string): HTMLImageElement | null {
    let img = this.images.get(url);
    if (!img) {
      img = new Image();
      img.onload = () => this.loaded();
      img.src = url;
      this.images.set(url, img);
    }
    return img.complete && img.naturalWidth > 0 ? img : null;
  }
}

// The flowchart is drawn in the Gothic font, Latin letters too, as the desktop's canvas.
export const FlowchartFont = '"JHK Gothic", "IPAGothic", sans-serif';

/** A font given as a pixel height h is h × TwipsY ÷ 20 points, as the desktop sets it. */
export function canvasFont(pixels: number, twipsY = 15): string {
  return `${Math.max(1, Math.floor(pixels * twipsY / 20))}pt ${FlowchartFont}`;
}

/** Draws flowchart `f` with its top-left corner at the context's origin. `picture` gives a
 *  decoded built-in picture or null while it loads; `underBoxes` draws what goes over the
 *  connectors and under the boxes. */
export function drawFlowchart(c: CanvasRenderingContext2D, f: J, core: Core,
  picture: (url: string) => HTMLImageElement | null, underBoxes: () => void = () => {}): void {
  const cw = num(f.width, 353), ch = num(f.height, 441);
  c.fillStyle = '#000';
  c.fillRect(0, 0, cw, ch);
  c.textBaseline = 'middle';
  c.textAlign = 'left';

  const notice = str(f.notice);
  if (notice) {
    c.font = canvasFont(15);
    c.fillStyle = '#fff';
    wrap(c, notice, 5, 5, cw - 10, 120);
  }
  // Connector lines, one pixel, crisp.
  c.lineWidth = 1;
  for (const l of arr(f.connectors)) {
    if (l.type !== 'line') continue;
    c.strokeStyle = str(l.colour);
    c.beginPath();
    c.moveTo(Math.round(num(l.x1)) + 0.5, Math.round(num(l.y1)) + 0.5);
    c.lineTo(Math.round(num(l.x2)) + 0.5, Math.round(num(l.y2)) + 0.5);
    c.stroke();
  }
  underBoxes();
  c.lineCap = 'butt';
  c.lineWidth = 1;

  // The start and end boxes.
  const ovals = !!f.ovalsVisible;
  const endBox = (b: Box | null, caption: string) => {
    if (!b) return;
    if (ovals) {
      c.fillStyle = str(f.ovalColour);
      c.beginPath();
      c.ellipse(b.x + (b.w - 1) / 2, b.y + (b.h - 1) / 2, (b.w - 1) / 2, (b.h - 1) / 2, 0, 0, Math.PI * 2);
      c.fill();
    }
    c.fillStyle = ovals ? '#000' : '#fff';
    c.font = canvasFont(15);
    c.textAlign = 'center';
    c.fillText(caption, b.x + b.w / 2, b.y + b.h / 2);
    c.textAlign = 'left';
  };
  if (f.startBoxVisible) endBox(boxOf(f.startBox), '開始');
  endBox(boxOf(f.endBox), '終了');

  // The block boxes, each caption fitted into its box by the caption rules.
  const boxes = arr(f.boxes);
  const measure = (text: string, pixels: number) => { c.font = `${pixels}px ${FlowchartFont}`; return c.measureText(text).width; };
  for (const b of boxes) {
    const r = boxOf(b)!;
    const url = str(b.picture);
    if (url) {
      const img = picture(url);
      if (img) c.drawImage(img, r.x, r.y, r.w, r.h);
    } else {
      c.fillStyle = str(b.fill);
      c.fillRect(r.x, r.y, r.w, r.h);
    }
    const fitted = core.fitCaption(str(b.caption), r.w - 3, r.h, 12, measure);
    c.fillStyle = str(b.textColour);
    c.font = `${Math.max(1, fitted.pixels)}px ${FlowchartFont}`;
    c.save();
    c.beginPath(); c.rect(r.x, r.y, r.w, r.h); c.clip();
    if (fitted.lines.length < 2) {
      c.fillText(fitted.lines[0] ?? '', r.x + 2, r.y + r.h / 2);
    } else {
      const pitch = fitted.pixels;
      const top = r.y + (r.h - 2 * pitch) / 2;
      fitted.lines.slice(0, 2).forEach((line, i) => c.fillText(line, r.x + 2, top + i * pitch + pitch / 2));
    }
    c.restore();
  }

  // The branch captions beside their lines; one over a box is drawn on a patch of the ground.
  const covered: Box[] = boxes.map(b => boxOf(b)!);
  if (f.startBoxVisible) { const s = boxOf(f.startBox); if (s) covered.push(s); }
  { const e = boxOf(f.endBox); if (e) covered.push(e); }
  c.font = canvasFont(12);
  c.textBaseline = 'top';
  for (const t of arr(f.connectors)) {
    if (t.type !== 'text') continue;
    const text = str(t.text);
    const m = c.measureText(text);
    const r = { x: num(t.x1), y: num(t.y1), w: m.width, h: m.fontBoundingBoxAscent + m.fontBoundingBoxDescent };
    if (covered.some(b => b.x < r.x + r.w && r.x < b.x + b.w && b.y < r.y + r.h && r.y < b.y + b.h)) {
      c.fillStyle = '#000';
      c.fillRect(r.x - 1, r.y, r.w + 2, r.h);
    }
    c.fillStyle = '#fff';
    c.fillText(text, r.x, r.y);
  }
  c.textBaseline = 'middle';
}

/** The notice, broken at the width given (Japanese has no spaces), top-aligned. */
function wrap(c: CanvasRenderingContext2D, text: string, x: number, y: number, width: number, height: number): void {
  const m = c.measureText('国');
  const lineHeight = m.fontBoundingBoxAscent + m.fontBoundingBoxDescent;
  c.textBaseline = 'top';
  let line = '';
  const lines: string[] = [];
  for (const ch of text) {
    if (ch === '\n' || (line && c.measureText(line + ch).width > width)) {
      lines.push(line);
      line = ch === '\n' ? '' : ch;
    } else line += ch;
  }
  if (line) lines.push(line);
  lines.forEach((l, i) => { if ((i + 1) * lineHeight <= height + lineHeight) c.fillText(l, x, y + i * lineHeight); });
  c.textBaseline = 'middle';
}
