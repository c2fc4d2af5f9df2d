// Draws the stage from the scene the module describes: background, wallet, parts and labels in
// their drawing order, the selection frame, products, coins and their counts.
import { Pictures } from './pictures';
import type { Scene, ScenePart, SceneLabel, SceneCoin, Rect } from './scene';

export const StageWidth = 408;
export const StageHeight = 500;
const DigitStripWidth = 170;

export class StageCanvas {
  private ctx: CanvasRenderingContext2D;
  private ratio = 1;
  /** The module's placing of a part's number strip, once the module is there. */
  numberRect: ((x: number, y: number, w: number, h: number, nw: number, nh: number) => Rect) | null = null;
  constructor(readonly canvas: HTMLCanvasElement, private pictures: Pictures) {
    this.ctx = canvas.getContext('2d', { alpha: false })!;
  }

  /** Backing pixels for the window's scale and the screen's pixel ratio: crisp at any size. */
  setScale(scale: number): void {
    const ratio = Math.max(1, Math.min(4, scale * (window.devicePixelRatio || 1)));
    if (Math.abs(ratio - this.ratio) < 0.01 && this.canvas.width === Math.round(StageWidth * ratio)) return;
    this.ratio = ratio;
    this.canvas.width = Math.round(StageWidth * ratio);
    this.canvas.height = Math.round(StageHeight * ratio);
  }

  draw(scene: Scene): void {
    const c = this.ctx;
    c.setTransform(this.ratio, 0, 0, this.ratio, 0, 0);
    c.imageSmoothingEnabled = this.ratio % 1 !== 0;
    c.globalCompositeOperation = 'source-over';
    c.fillStyle = '#ffffff';
    c.fillRect(0, 0, StageWidth, StageHeight);
    const bgUrl = this.pictures.resolve(scene.background);
    const bg = bgUrl ? this.pictures.image(bgUrl) : null;
    if (bg) c.drawImage(bg, 0, 0);
    else if (scene.background) this.placeholder({ x: 0, y: 0, w: StageWidth, h: StageHeight }, baseName(scene.background));
    if (scene.walletDrawn) this.wallet();

    // The coins resting in the wallet and their counts lie under the parts and labels: a part
    // near the stage's left edge is never covered. The coin held by the mouse comes last.
    for (const coin of scene.coins) if (!coin.held) this.coin(coin);
    c.font = '12px "JHK Sans", "JHK Gothic", sans-serif';
    c.fillStyle = '#000';
    c.textBaseline = 'middle';
    for (const l of scene.coinLabels) if (l.visible) c.fillText(l.text, l.x, l.y + l.h / 2);

    type Item = { z: number; draw: () => void };
    const items: Item[] = [];
    for (const p of scene.parts) if (p.visible) items.push({ z: p.z, draw: () => this.part(p, scene.partNumberColour) });
    for (const l of scene.labels) if (l.visible) items.push({ z: l.z, draw: () => this.label(l) });
    const sel = scene.selection;
    if (sel) items.push({ z: sel.z, draw: () => { c.strokeStyle = '#000'; c.lineWidth = 1; c.strokeRect(sel.x + 0.5, sel.y + 0.5, sel.w - 1, sel.h - 1); } });
    items.sort((a, b) => a.z - b.z);
    for (const it of items) it.draw();

    for (const p of scene.products) {
      if (!p.visible) continue;
      const img = this.pictures.partPicture(p.kind, p.picture);
      if (img) c.drawImage(img, p.x, p.y);
    }
    for (const coin of scene.coins) if (coin.held) this.coin(coin);
    if (scene.pickHint) this.pickHint(scene.pickHint);
  }

  private coin(coin: SceneCoin): void {
    if (!coin.visible) return;
    const img = this.pictures.builtIn(`coins/coin_${coin.index % 5}.png`);
    if (img) this.ctx.drawImage(img, coin.x, coin.y, coin.w || 30, coin.h || 30);
  }

  private wallet(): void {
    const c = this.ctx;
    const mask = this.pictures.builtIn('wallet_mask.png');
    const wallet = this.pictures.builtIn('wallet.png');
    if (!mask || !wallet) return;
    const y = StageHeight - wallet.naturalHeight;
    // The mask clears the wallet's shape (black keeps nothing), the picture fills it.
    c.globalCompositeOperation = 'multiply';
    c.drawImage(mask, 0, y);
    c.globalCompositeOperation = 'lighter';
    c.drawImage(wallet, 0, y);
    c.globalCompositeOperation = 'source-over';
  }

  private part(p: ScenePart, numberColour: string): void {
    const c = this.ctx;
    const img = this.pictures.partPicture(p.kind, p.picture);
    if (img) c.drawImage(img, p.x, p.y);
    else this.placeholder(p, p.picture === 'dummy' ? '' : baseName(p.picture));
    if (p.digits) {
      const strip = this.pictures.builtIn('digits.png');
      const g = DigitStripWidth / 10;
      const n = p.digits.length;
      for (let k = 1; strip && k <= Math.min(n, 4); ++k) {
        const box = p.digitBoxes[k - 1];
        if (!box) break;
        if (p.digits[n - k] === '-') {
          // A negative count: the minus sign in the place before the digits, as the middle bar
          // of an 8, drawn as the desktop draws it.
          const bar = Math.max(2, Math.floor(box.h / 9));
          c.fillStyle = this.minusColour(strip, g);
          c.fillRect(box.x + Math.floor(box.w / 5), box.y + Math.floor((box.h - 1) / 2) - Math.floor(bar / 2),
                     Math.floor(box.w * 3 / 5), bar);
          break;
        }
        const ch = p.digits.charCodeAt(n - k) - 48;
        if (ch < 0 || ch > 9) break;
        c.drawImage(strip, ch * g, 0, g, strip.naturalHeight, box.x, box.y, box.w, box.h);
      }
    }
    if (p.numberShown) this.partNumber(p, numberColour);
  }

  // The lit colour of the digit strip's 8 (its middle bar), read once.
  private minusFill: string | null = null;
  private minusColour(strip: HTMLImageElement, g: number): string {
    if (this.minusFill) return this.minusFill;
    let fill = 'rgb(255,60,40)';
    try {
      const probe = document.createElement('canvas');
      probe.width = strip.naturalWidth; probe.height = strip.naturalHeight;
      const pc = probe.getContext('2d');
      if (pc) {
        pc.drawImage(strip, 0, 0);
        const d = pc.getImageData(8 * g + Math.floor(g / 2), Math.floor(strip.naturalHeight / 2), 1, 1).data;
        if (d[3] > 0) fill = `rgb(${d[0]},${d[1]},${d[2]})`;
      }
    } catch { /* an unreadable strip keeps the default colour */ }
    this.minusFill = fill;
    return fill;
  }

  private partNumber(p: ScenePart, colour: string): void {
    const c = this.ctx;
    c.font = 'bold 12px "JHK Sans", "JHK Gothic", sans-serif';
    const text = `No.${p.slot}`;
    const m = c.measureText(text);
    const w = Math.ceil(m.width), h = Math.ceil(m.fontBoundingBoxAscent + m.fontBoundingBoxDescent);
    // Where the strip goes is the module's rule: above the part, else beside it.
    const r = this.numberRect ? this.numberRect(p.x, p.y, p.w, p.h, w, h) : { x: p.x, y: p.y - h, w, h };
    c.fillStyle = '#404040';
    c.fillRect(r.x, r.y, r.w, r.h);
    c.fillStyle = colour;
    c.textBaseline = 'alphabetic';
    c.fillText(text, r.x, r.y + m.fontBoundingBoxAscent);
  }


  private label(l: SceneLabel): void {
    const c = this.ctx;
    if (!l.transparent) { c.fillStyle = l.back; c.fillRect(l.x, l.y, l.w, l.h); }
    const px = Math.max(1, Math.trunc(l.fontSize * 20 / 15));
    const family = l.fontName ? `"${l.fontName}", "JHK Sans", "JHK Gothic", sans-serif` : '"JHK Sans", "JHK Gothic", sans-serif';
    c.font = `${l.italic ? 'italic ' : ''}${l.bold ? 'bold ' : ''}${px}px ${family}`;
    c.fillStyle = l.fore;
    c.textBaseline = 'top';
    c.save();
    c.beginPath();
    c.rect(l.x, l.y, l.w, l.h);
    c.clip();
    l.caption.split(/\r?\n/).forEach((line, i) => c.fillText(line, l.x, l.y + i * px * 1.2));
    c.restore();
  }

  private placeholder(r: Rect, text: string): void {
    const c = this.ctx;
    c.fillStyle = '#e0e0e0';
    c.fillRect(r.x, r.y, r.w, r.h);
    c.strokeStyle = '#902020';
    c.setLineDash([4, 2]);
    c.strokeRect(r.x + 0.5, r.y + 0.5, r.w - 1, r.h - 1);
    c.beginPath();
    c.moveTo(r.x, r.y); c.lineTo(r.x + r.w, r.y + r.h);
    c.moveTo(r.x, r.y + r.h); c.lineTo(r.x + r.w, r.y);
    c.stroke();
    c.setLineDash([]);
    if (text) {
      c.fillStyle = '#902020';
      c.font = '10px "JHK Sans", "JHK Gothic", sans-serif';
      c.textAlign = 'center'; c.textBaseline = 'middle';
      c.fillText(text, r.x + r.w / 2, r.y + r.h / 2, r.w);
      c.textAlign = 'start';
    }
  }

  private pickHint(text: string): void {
    const c = this.ctx;
    c.font = 'bold 14px "JHK Sans", "JHK Gothic", sans-serif';
    c.fillStyle = 'rgba(255,255,192,0.88)';
    c.fillRect(0, 0, StageWidth, 26);
    c.fillStyle = '#000';
    c.textAlign = 'center'; c.textBaseline = 'middle';
    c.fillText(text, StageWidth / 2, 13);
    c.textAlign = 'start';
  }
}

function baseName(p: string): string { return p.replace(/\\/g, '/').split('/').pop() ?? p; }
