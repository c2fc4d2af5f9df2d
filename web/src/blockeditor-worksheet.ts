// "ワークシートを保存..." in the page: the worksheet's A4 pages, laid out by the module's worksheet
// rules with the page's fonts, drawn as the desktop draws them into its PDF and handed to the
// browser's print (where a pupil chooses a printer or "PDF に保存").
import type { Machine } from './core';
import { arr, num, str, type J } from './flowchart';

// Drawn at twice the layout's pixels: crisp on paper.
const Sharpness = 2;

function cssFont(family: string, pixels: number, bold: boolean): string {
  const face = family ? `"${family}", ` : '';
  return `${bold ? 'bold ' : ''}${pixels}px ${face}"JHK Gothic", "IPAGothic", sans-serif`;
}

/** The worksheet's pages as pictures (data: URLs), or none when the machine has no program
 *  (the module has said why). `blank` leaves the operands as blanks for pupils to fill in. */
export function worksheetPages(machine: Machine, blank: boolean): string[] {
  const probe = document.createElement('canvas').getContext('2d')!;
  const measure = {
    advance(text: string, family: string, pixels: number, bold: boolean): number {
      probe.font = cssFont(family, pixels, bold);
      return probe.measureText(text).width;
    },
    metrics(family: string, pixels: number, bold: boolean): [number, number] {
      probe.font = cssFont(family, pixels, bold);
      const m = probe.measureText('国');
      return [m.fontBoundingBoxAscent, m.fontBoundingBoxAscent + m.fontBoundingBoxDescent];
    },
    ink(text: string, family: string, pixels: number, bold: boolean): [number, number] {
      probe.font = cssFont(family, pixels, bold);
      const m = probe.measureText(text);
      return [-m.actualBoundingBoxLeft, m.actualBoundingBoxRight];
    },
  };
  const sheet = JSON.parse(machine.worksheet?.(blank, measure) ?? '{}') as J;
  return arr(sheet.pages).map(page => {
    const canvas = document.createElement('canvas');
    canvas.width = Math.round(num(page.width) * Sharpness);
    canvas.height = Math.round(num(page.height) * Sharpness);
    const c = canvas.getContext('2d')!;
    c.scale(Sharpness, Sharpness);
    c.fillStyle = '#fff';
    c.fillRect(0, 0, num(page.width), num(page.height));
    drawItems(c, arr(page.items));
    return canvas.toDataURL('image/png');
  });
}

function drawItems(c: CanvasRenderingContext2D, items: J[]): void {
  for (const it of items) {
    const x = num(it.x), y = num(it.y), w = num(it.w), h = num(it.h);
    const colour = str(it.colour);
    switch (str(it.kind)) {
    case 'fill':
      c.fillStyle = colour;
      c.fillRect(x, y, w, h);
      break;
    case 'text':
      if (it.opaque) { c.fillStyle = '#fff'; c.fillRect(x, y, w, h); }
      c.font = cssFont(str(it.family), num(it.pixels, 12), !!it.bold);
      c.fillStyle = colour;
      c.textBaseline = 'alphabetic';
      c.fillText(str(it.text), num(it.ax), num(it.ay));
      break;
    case 'line': case 'box': case 'oval': case 'decision':
      c.strokeStyle = colour;
      c.lineWidth = num(it.pen, 1);
      c.fillStyle = '#fff';
      c.beginPath();
      if (it.kind === 'line') {
        c.moveTo(num(it.ax), num(it.ay));
        c.lineTo(num(it.bx), num(it.by));
        c.stroke();
        break;
      }
      if (it.kind === 'box') c.rect(x, y, w, h);
      else if (it.kind === 'oval') c.ellipse(x + w / 2, y + h / 2, w / 2, h / 2, 0, 0, Math.PI * 2);
      else {
        const tip = num(it.tip);
        c.moveTo(x + tip, y); c.lineTo(x + w - tip, y); c.lineTo(x + w, y + h / 2);
        c.lineTo(x + w - tip, y + h); c.lineTo(x + tip, y + h); c.lineTo(x, y + h / 2); c.closePath();
      }
      c.fill();
      c.stroke();
      break;
    case 'clip':
      c.save();
      c.beginPath(); c.rect(x, y, w, h); c.clip();
      break;
    case 'unclip':
      c.restore();
      break;
    }
  }
}

/** The pages handed to the browser's print; they leave the page again once it is done. */
export function printPages(pages: string[]): void {
  document.getElementById('print-pages')?.remove();
  const box = document.createElement('div');
  box.id = 'print-pages';
  for (const url of pages) {
    const img = document.createElement('img');
    img.src = url;
    img.alt = 'ワークシート';
    box.appendChild(img);
  }
  document.body.appendChild(box);
  window.addEventListener('afterprint', () => box.remove(), { once: true });
  // The pictures are data: URLs, decoded before the print dialog lays them out.
  void Promise.all(Array.from(box.querySelectorAll('img')).map(i => i.decode().catch(() => undefined)))
    .then(() => window.print());
}
