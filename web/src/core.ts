// The page module's interface as the page uses it. The module holds every rule; the page only
// hands it bytes and pointer events and draws what it describes.

export interface OpenResult { ok: boolean; message: string; }

export interface Host {
  message(id: number, text: string, buttons: string, icon: string, initial?: string): void;
  sound(name: string, mode: string): void;
  changed(what: string, index: number): void;
  runList(line: string): void;
  timer(ms: number): void;
  request?(what: string, index: number): void;
  measureLabel?(label: { caption: string; fontSize: number; bold: boolean; italic: boolean; fontName: string }): [number, number];
}

export interface Machine {
  setHost(host: Host): void;
  open(bytes: Uint8Array, fileName: string): OpenResult;
  saveBytes(): Uint8Array;
  recoveryBytes(): Uint8Array;
  openRecovery(bytes: Uint8Array): OpenResult;
  /** Asks whether to restore a copy left behind (made at `madeAt` seconds since 1970, or -1);
   *  the host's request('recovered', 1 | 0) tells the outcome. */
  offerRecovery(bytes: Uint8Array, madeAt: number): void;
  scene(): string;
  pointer(type: string, x: number, y: number, button: number, modifiers: number): void;
  coinDrop?(denomination: number, centreX: number, centreY: number): void;
  paletteDown?(kind: number): boolean;
  paletteDrop?(kind: number, x: number, y: number): void;
  changeProperties?(slot: number): void;
  propertyDialog?(): string;
  propertyScroll?(value: number): void;
  propertyOk?(texts: string[]): { accepted: boolean; refusedBox: number; resetBox: boolean };
  propertyCancel?(): void;
  labelDialog?(): string;
  labelEdit?(fields: { caption: string; fontName: string; fontSize: string; italic: boolean; bold: boolean; transparent: boolean }): void;
  labelPress?(x: number, y: number): void;
  labelOk?(): void;
  labelCancel?(): void;
  command(name: string): unknown;
  /** What to tell the pupil after the last undo or redo (a step the stage does not show), or "". */
  historyNote?(): string;
  answer(id: number, answer: string): void;
  tick(): void;
  blink(): void;
  touch?(slot: number): void;
  soundEnded(): void;
  runView(): string;
  showRunView(open: boolean): void;
  setRunSpeed(index: number): void;
  isModified(): boolean;
  markSaved?(fileName: string): void;
  /** A file dialog the module asked for ('openfile', 'savefile') answered: the name ('' when
   *  cancelled) and the bytes of a file to open; gives the bytes to write for a save. */
  fileChosen(name: string, bytes: Uint8Array | null): Uint8Array;
  writeFailed(): void;
  levelOptions(): string;
  chooseLevel(level: number): void;
  // The block editor (see src/wasm/README.md).
  blockEditor?(): string;
  editorPointer?(type: string, x: number, y: number, button: number): string;
  editorPopup?(entry: number): void;
  editorDrop?(tab: number, position: number, x: number, y: number): void;
  editorCommand?(name: string): boolean;
  editorVariable?(row: number, text: string): void;
  editorDragMode?(on: boolean): void;
  detailPick?(button: number): void;
  detailOperator?(text: string): void;
  detailLamp?(text: string): void;
  detailOk?(): void;
  detailClose?(): void;
  chooseVariable?(entry: number): void;
  escape?(): boolean;
  delete(): void;
}

export interface Core {
  putAppFile(path: string, bytes: Uint8Array): boolean;
  startWindowTexts(): { title: string; levels: string[] };
  /** Where a part's number strip goes beside the part's picture (stage pixels). */
  partNumberRect(x: number, y: number, w: number, h: number, numberWidth: number, numberHeight: number): { x: number; y: number; w: number; h: number };
  /** Where the run view opens beside the main window on a screen (CSS pixels). */
  placeRunView(ax: number, ay: number, aw: number, ah: number, mx: number, my: number, mw: number, mh: number,
    frameWidth: number, frameHeight: number): { x: number; y: number; w: number; h: number; compact: boolean; mainX: number | null };
  /** A caption fitted into a box by the caption rules, measured in the page's font. */
  fitCaption(caption: string, width: number, height: number, largestPixels: number,
    measure: (text: string, pixels: number) => number): { pixels: number; lines: string[] };
  Machine: new (level: number, background: number) => Machine;
}

export type CoreFactory = (options?: Record<string, unknown>) => Promise<Core>;

export async function loadCore(): Promise<Core> {
  const url = new URL('jihankobo-core.js', document.baseURI).href;
  const mod = await import(/* @vite-ignore */ url) as { default: CoreFactory };
  return mod.default({
    locateFile: (path: string) => new URL(path, document.baseURI).href,
  });
}
