// What the stage shows, as the module describes it, in stage pixels. Read defensively: a field
// the module leaves out is drawn as absent, never guessed from a rule.

export interface Rect { x: number; y: number; w: number; h: number; }
export interface ScenePart extends Rect {
  slot: number; kind: number; picture: string; visible: boolean; digits: string; numberShown: boolean;
  digitBoxes: Rect[]; z: number;
}
export interface SceneLabel extends Rect {
  slot: number; caption: string; fontSize: number; fontName: string; fore: string; back: string;
  transparent: boolean; bold: boolean; italic: boolean; visible: boolean; z: number;
}
export interface SceneProduct extends Rect { picture: string; kind: number; visible: boolean; }
export interface SceneCoin extends Rect { index: number; visible: boolean; held: boolean; }
export interface SceneCoinLabel extends Rect { text: string; visible: boolean; }

export interface Controls {
  start: boolean; stop: boolean; step: boolean; next: boolean; open: boolean; save: boolean; money: boolean;
  partButtons: boolean; labelButton: boolean; delete: boolean; runPointer: boolean;
  chartVisible: boolean; stepControlsVisible: boolean; undo: boolean; redo: boolean;
}

export interface Scene {
  background: string;
  walletDrawn: boolean;
  parts: ScenePart[];
  labels: SceneLabel[];
  products: SceneProduct[];
  coins: SceneCoin[];
  coinLabels: SceneCoinLabel[];
  selection: (Rect & { z: number }) | null;
  moneyLabel: string;
  stateLabel: string;
  stateColor: string;
  blockStateLabel: string;
  runHint: string;
  runList: string[];
  runListSelection: number;
  controls: Controls;
  panel: { x: string; y: string; partsName: string; partsId: string; partsCount: string; pictureVisible: boolean; pictureKind: number };
  level: number;
  step: number;
  runMode: number;
  levelCaption: string;
  levelText: string;
  stepCaption: string;
  stepText: string;
  pickHint: string;
  fileName: string;
  modified: boolean;
  twipsX: number;
  twipsY: number;
  digitLeft: number;
  digitTop: number;
  partNumberColour: string;
}

type J = Record<string, unknown>;
const num = (v: unknown, d = 0): number => (typeof v === 'number' && isFinite(v) ? v : typeof v === 'boolean' ? (v ? 1 : 0) : d);
const str = (v: unknown, d = ''): string => (typeof v === 'string' ? v : d);
const bool = (v: unknown, d = false): boolean => (typeof v === 'boolean' ? v : typeof v === 'number' ? v !== 0 : d);
const arr = (v: unknown): J[] => (Array.isArray(v) ? v as J[] : []);
const obj = (v: unknown): J => (v && typeof v === 'object' && !Array.isArray(v) ? v as J : {});

/** A colour of the program's table (0x00BBGGRR, or a CSS colour already). */
export function cssColour(v: unknown, fallback = '#000'): string {
  if (typeof v === 'string' && v) return v;
  if (typeof v !== 'number') return fallback;
  if (v < 0 || v > 0xffffff) return '#efefef'; // a system colour: the window's face
  const r = v & 0xff, g = (v >> 8) & 0xff, b = (v >> 16) & 0xff;
  return `rgb(${r},${g},${b})`;
}

function rect(o: J, tx: number, ty: number): Rect {
  // Stage pixels as the module gives them ({x,y,w,h}), or twips ({left,top,width,height}).
  if ('x' in o || 'w' in o) return { x: num(o.x), y: num(o.y), w: num(o.w), h: num(o.h) };
  const r = obj(o.rect);
  const src = 'left' in o ? o : r;
  return {
    x: Math.trunc(num(src.left) / tx), y: Math.trunc(num(src.top) / ty),
    w: Math.trunc(num(src.width) / tx), h: Math.trunc(num(src.height) / ty),
  };
}

export function readScene(json: string): Scene {
  const s = obj(JSON.parse(json));
  const tx = Math.max(1, num(s.twipsX, 15)), ty = Math.max(1, num(s.twipsY, 15));
  const c = obj(s.controls);
  const p = obj(s.panel);
  const sel = s.selection ? obj(s.selection) : null;
  return {
    background: str(s.background),
    walletDrawn: bool(s.walletDrawn),
    parts: arr(s.parts).map((o, i) => ({
      ...rect(o, tx, ty), slot: num(o.slot, i), kind: num(o.kind), picture: str(o.picture), visible: bool(o.visible, true),
      digits: str(o.digits), numberShown: bool(o.numberShown), z: num(o.z, i),
      digitBoxes: arr(o.digitBoxes).map(b => rect(b, tx, ty)),
    })),
    labels: arr(s.labels).map((o, i) => ({
      ...rect(o, tx, ty), slot: num(o.slot, i), caption: str(o.caption), fontSize: num(o.fontSize, 12), fontName: str(o.fontName ?? o.font),
      fore: cssColour(o.fore ?? o.foreColor, '#000'), back: cssColour(o.back ?? o.backColor, '#efefef'),
      transparent: bool(o.transparent), bold: bool(o.bold), italic: bool(o.italic), visible: bool(o.visible, true), z: num(o.z, 1000 + i),
    })),
    products: arr(s.products).map(o => ({ ...rect(o, tx, ty), picture: str(o.picture), kind: num(o.kind ?? o.sourceKind), visible: bool(o.visible, true) })),
    coins: arr(s.coins).map((o, i) => ({ ...rect(o, tx, ty), index: num(o.index ?? o.k, i), visible: bool(o.visible, true), held: bool(o.held) })),
    coinLabels: arr(s.coinLabels).map(o => ({ ...rect(o, tx, ty), text: str(o.text), visible: bool(o.visible, true) })),
    selection: sel && bool(sel.visible, true) ? { ...rect(sel, tx, ty), z: num(sel.z, 9999) } : null,
    moneyLabel: str(s.moneyLabel),
    stateLabel: str(s.stateLabel),
    stateColor: cssColour(s.stateColor ?? s.stateLabelColor, '#000'),
    blockStateLabel: str(s.blockStateLabel, 'ブロック実行状態'),
    runHint: str(s.runHint),
    runList: arr(s.runList).map(x => String(x)),
    runListSelection: num(s.runListSelection, -1),
    controls: {
      start: bool(c.start ?? c.startEnabled, true), stop: bool(c.stop ?? c.stopEnabled), step: bool(c.step ?? c.stepEnabled),
      next: bool(c.next, true),
      open: bool(c.open ?? c.openEnabled, true), save: bool(c.save ?? c.saveEnabled, true), money: bool(c.money ?? c.moneyEnabled, true),
      partButtons: bool(c.partButtons ?? c.partButtonsEnabled, true), labelButton: bool(c.labelButton ?? c.labelButtonEnabled, true),
      delete: bool(c.delete ?? c.deleteEnabled), runPointer: bool(c.runPointer), chartVisible: bool(c.chartVisible),
      stepControlsVisible: bool(c.stepControlsVisible), undo: bool(c.undo), redo: bool(c.redo),
    },
    panel: {
      x: str(p.x, 'Ｘ座標'), y: str(p.y, 'Ｙ座標'), partsName: str(p.partsName, 'パーツの名前'), partsId: str(p.partsId, 'パーツ番号'),
      partsCount: str(p.partsCount ?? s.partsCount), pictureVisible: bool(p.pictureVisible), pictureKind: num(p.pictureKind, -1),
    },
    level: num(s.level, 3),
    step: num(s.step, 1),
    runMode: num(s.runMode, 0),
    levelCaption: str(s.levelCaption),
    levelText: str(s.levelText),
    stepCaption: str(s.stepCaption),
    stepText: str(s.stepText),
    pickHint: str(s.pickHint),
    fileName: str(s.fileName),
    modified: bool(s.modified),
    twipsX: tx, twipsY: ty,
    digitLeft: num(s.digitLeft), digitTop: num(s.digitTop),
    partNumberColour: str(s.partNumberColour, '#c0ffc0'),
  };
}
