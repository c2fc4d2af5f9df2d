// The machine in the browser: opens, runs and saves a pupil's machine. Every rule lives in the
// page module; this page draws what the module describes and hands it the pupil's events.
import { loadCore, type Core, type Machine, type Host } from './core';
import { readScene, type Scene } from './scene';
import { Pictures } from './pictures';
import { StageCanvas, StageWidth, StageHeight } from './stage';
import { Dialogs } from './dialogs';
import { Sounds } from './audio';
import { recovery } from './store';
import { RunView } from './runview';
import { Editing } from './editing';
import { StartWindow, showOptionWindow, type LevelOption } from './start';
import { BlockEditor } from './blockeditor';
import { download } from './download';
import { printMachine, printWorksheet, showPrintDialog } from './print';

const Title = 'ジハンコウボウ';
const WindowWidth = 777;
const WindowHeight = 529;
const PartsKindCaptions = ['商品', 'ボタン', '投入口', '金額表示', '釣銭口', '所持金', '商品出口', '釣レバー'];
const RecoveryDelayMs = 2000;
const DoubleTapMs = 400;
const DoubleTapSlop = 12; // CSS pixels between the two taps of a double tap

const $ = <T extends HTMLElement = HTMLElement>(id: string) => document.getElementById(id) as T;

interface FileHandle {
  name: string;
  getFile(): Promise<File>;
  createWritable?(): Promise<{ write(data: BufferSource | Blob): Promise<void>; close(): Promise<void> }>;
}
type PickerWindow = Window & {
  showOpenFilePicker?: (o?: unknown) => Promise<FileHandle[]>;
  showSaveFilePicker?: (o?: unknown) => Promise<FileHandle>;
};

class Page {
  core!: Core;
  machine!: Machine;
  scene!: Scene;
  readonly pictures = new Pictures();
  readonly stage = new StageCanvas($<HTMLCanvasElement>('Picture1'), this.pictures);
  readonly dialogs = new Dialogs($('dialog-layer'), Title);
  readonly sounds = new Sounds();
  runView: RunView | null = null;
  readonly editing = new Editing(this);
  readonly startWindow = new StartWindow();
  readonly blockEditor = new BlockEditor(this);
  private shown = false; // a machine was opened or restored: no start window
  scale = 1;
  fileName = '';
  fileHandle: FileHandle | null = null;
  private frame = 0;
  private tickTimer = 0;
  private recoveryTimer = 0;
  private pointerId: number | null = null;
  private appFiles: string[] = [];
  // Files chosen before the module asked for them (dropped, a folder, an address): the open
  // command's file dialog takes them instead of asking.
  private pendingOpen: { files: { file: File; path: string }[]; handle: FileHandle | null; name?: string; bytes?: Uint8Array } | null = null;
  private openHandle: FileHandle | null = null; // the file the open dialog chose
  private saveAsNew = false;
  private openInputAsked = false; // the file input was opened for the module's open dialog
  private writing: Promise<boolean> = Promise.resolve(true);
  private quitting = false;

  async start(): Promise<void> {
    performance.mark('jhk-start');
    this.buildPalette();
    this.fit();
    window.addEventListener('resize', () => this.fit());
    this.pictures.onLoaded = () => this.redraw();
    const [core, files] = await Promise.all([loadCore(), appFolder(), pageFonts()]);
    performance.mark('jhk-core');
    this.core = core;
    this.stage.numberRect = (x, y, w, h, nw, nh) => core.partNumberRect(x, y, w, h, nw, nh);
    // The application folder, handed to the module: the tables, the block explanations, the
    // pictures whose sizes it measures and the sounds whose lengths a run waits for.
    performance.mark('jhk-unpacked');
    for (const [f, bytes] of files) if (bytes !== OnSite) core.putAppFile(f, bytes);
    this.appFiles = [...files.keys()];
    this.pictures.setAppFiles(files);
    performance.mark('jhk-appfiles');
    this.machine = new core.Machine(3, 0);
    this.machine.setHost(this.host());
    this.wireControls();
    // The state label blinks four times a second while the machine is edited.
    window.setInterval(() => this.machine.blink(), 250);
    this.scene = readScene(this.machine.scene());
    performance.mark('jhk-machine');
    await this.preloadScene();
    performance.mark('jhk-pictures');
    this.render();
    $('main-window').classList.remove('loading');
    document.documentElement.dataset.ready = '1';
    performance.mark('jhk-ready'); // the machine is drawn and takes the pupil's events
    await this.offerRecovery();
    const wanted = new URLSearchParams(location.search).get('machine');
    if (wanted) await this.openFromSite(wanted);
    // A new visit without a machine starts as the desktop program does: level and background.
    if (!this.shown)
      this.startWindow.show(core.startWindowTexts(), c => void this.newMachine(c.level, c.background));
    document.documentElement.dataset.ready = '2';
  }

  // ---- the module's requests ----
  private host(): Host {
    return {
      message: (id, text, buttons, icon, initial) => {
        void this.dialogs.ask(text, buttons, icon, initial ?? '').then(a => {
          this.machine.answer(id, a ?? ''); // a text box cancelled answers an empty text
          this.changed();
        });
      },
      sound: (name, mode) => this.sound(name, mode),
      changed: what => (what === 'blink' ? this.blinked() : this.changed()),
      runList: () => this.changed(),
      request: (what, index) => this.request(what, index),
      measureLabel: label => this.editing.measureLabel(label),
      timer: ms => {
        clearTimeout(this.tickTimer);
        this.tickTimer = 0;
        if (ms < 0) return; // withdrawn
        this.tickTimer = window.setTimeout(() => { this.tickTimer = 0; this.machine.tick(); this.changed(); }, Math.max(0, ms));
      },
    };
  }

  private sound(name: string, mode: string): void {
    if (mode === 'stop') { this.sounds.stopAll(); return; }
    const url = this.pictures.resolve(name);
    if (!url) { if (mode === 'sync') this.machine.soundEnded(); return; }
    if (mode === 'sync') this.sounds.play(url, false, () => { this.machine.soundEnded(); this.changed(); });
    else this.sounds.play(url, mode === 'loop');
  }

  /** Something changed: drawn in the next frame, the recovery copy written soon after. */
  changed(): void {
    if (!this.frame) this.frame = requestAnimationFrame(() => { this.frame = 0; this.refresh(); });
    this.scheduleRecovery();
  }

  private blinked(): void {
    if (this.frame) return; // a whole refresh is coming anyway
    const s = readScene(this.machine.scene());
    setText('lblNowState', s.stateLabel);
    $('lblNowState').style.color = s.stateColor;
  }

  refresh(): void {
    this.scene = readScene(this.machine.scene());
    this.render();
    this.blockEditor.update();
    this.runView?.update();
  }

  redraw(): void { if (this.scene) this.stage.draw(this.scene); }

  // ---- drawing the window ----
  private render(): void {
    const s = this.scene;
    this.stage.draw(s);
    const c = s.controls;
    setEnabled('cmdStart', c.start);
    setEnabled('cmdStop', c.stop);
    setEnabled('cmdStep', c.step);
    setEnabled('Command3', c.next);
    setEnabled('Command1', c.money);
    this.editing.render(s);
    menuEnabled('open', c.open);
    menuEnabled('openfolder', c.open);
    menuEnabled('save', c.save);
    menuEnabled('saveas', c.save);
    // A new machine and the settings only while editing, as every editing command.
    menuEnabled('new', s.runMode === 0);
    menuEnabled('options', s.runMode === 0);
    menuEnabled('print', s.runMode === 0);
    menuEnabled('pagesetup', s.runMode === 0);
    this.stage.canvas.classList.toggle('run-pointer', c.runPointer);
    if (setText('lblNowState', s.stateLabel)) fitStateLabel();
    $('lblNowState').style.color = s.stateColor;
    // 財布 is a run control: not there while editing.
    $('Command4').hidden = !(s.runMode === 1 || s.runMode === 2);
    setText('Label4', s.moneyLabel);
    setText('lblPartsCount', s.panel.partsCount);
    setText('Label1', s.panel.x);
    setText('Label2', s.panel.y);
    setText('lbl_PartsName', s.panel.partsName);
    setText('lblPartsID', s.panel.partsId);
    const pic = $<HTMLImageElement>('pic_SelectParts');
    // The palette picture of the selected part's kind, as the palette button shows it.
    if (s.panel.pictureKind >= 0) {
      const url = `builtin/palette/palette_${s.panel.pictureKind}.bmp`;
      if (pic.getAttribute('src') !== url) pic.src = url;
    }
    pic.hidden = !(s.panel.pictureVisible && s.panel.pictureKind >= 0);
    setText('lbl_LEVEL', s.levelCaption);
    setText('lblKaisetsu', s.levelText);
    $('lblNowStep').hidden = !c.stepControlsVisible;
    $('lblStepKaisetsu').hidden = !c.stepControlsVisible;
    if (c.stepControlsVisible) { setText('lblNowStep', s.stepCaption); setText('lblStepKaisetsu', s.stepText); }
    $('FrameChart').hidden = !c.chartVisible;
    $('FrameSelectInfo').hidden = c.chartVisible;
    setText('lblBlockState', s.blockStateLabel);
    this.renderRunList();
    const hint = $('lblRunHint');
    hint.hidden = !s.runHint;
    if (s.runHint) hint.textContent = s.runHint;
    document.title = (this.fileName ? this.fileName + ' - ' : '') + Title;
  }

  private renderRunList(): void {
    const list = $('lstDebug');
    const lines = this.scene.runList;
    if (list.childElementCount > lines.length) list.replaceChildren();
    for (let i = list.childElementCount; i < lines.length; ++i) {
      const d = document.createElement('div');
      d.setAttribute('role', 'option');
      d.textContent = lines[i];
      list.appendChild(d);
    }
    Array.from(list.children).forEach((d, i) => d.classList.toggle('selected', i === this.scene.runListSelection));
    list.scrollTop = list.scrollHeight; // the newest line is always in view
  }

  private buildPalette(): void {
    const palette = $('palette');
    PartsKindCaptions.forEach((caption, i) => {
      const b = document.createElement('button');
      b.className = 'push tool';
      b.id = 'cmdPartsButton' + i;
      b.disabled = true;
      b.style.cssText = `left:${6 + 57 * (i % 2)}px;top:${16 + 64 * Math.floor(i / 2)}px;width:57px;height:64px;position:absolute`;
      b.innerHTML = `<img alt="" src="builtin/palette/palette_${i}.bmp"><span></span>`;
      b.querySelector('span')!.textContent = caption;
      palette.appendChild(b);
    });
    const label = document.createElement('button');
    label.className = 'push';
    label.id = 'cmdPartsButton8';
    label.disabled = true;
    label.textContent = 'ラベル';
    label.style.cssText = 'left:6px;top:272px;width:114px;height:38px;position:absolute';
    palette.appendChild(label);
  }

  /** The whole window scales as one picture to the browser's window, never reflowed. */
  fit(): void {
    // With the run view open the window leaves room for it where the screen is wide enough to
    // show the window at 100 % beside it; where the run view goes is the run view's rule.
    const room = this.runView ? RunView.FullWidth : 0;
    const beside = room && window.innerWidth >= WindowWidth + room ? room : 0;
    const vw = window.innerWidth - beside, vh = window.innerHeight;
    const s = Math.min(vw / WindowWidth, vh / WindowHeight);
    this.scale = s > 0 ? s : 1;
    const win = $('main-window');
    let left = Math.max(0, (vw - WindowWidth * this.scale) / 2);
    const top = Math.max(0, (vh - WindowHeight * this.scale) / 2);
    if (this.runView) {
      const placed = this.core.placeRunView(0, 0, window.innerWidth, window.innerHeight,
        Math.round(left), Math.round(top), Math.round(WindowWidth * this.scale), Math.round(WindowHeight * this.scale),
        this.runView.frameWidth, this.runView.frameHeight);
      if (placed.mainX !== null) left = placed.mainX;
      this.runView.place(placed);
    }
    win.style.transform = `scale(${this.scale})`;
    win.style.left = `${left}px`;
    win.style.top = `${top}px`;
    document.documentElement.style.setProperty('--scale', String(this.scale));
    this.stage.setScale(this.scale);
    this.redraw();
  }

  // ---- the pupil's events ----
  stagePoint(e: { clientX: number; clientY: number }): [number, number] {
    const r = this.stage.canvas.getBoundingClientRect();
    const x = Math.floor((e.clientX - r.left) * StageWidth / r.width);
    const y = Math.floor((e.clientY - r.top) * StageHeight / r.height);
    return [x, y];
  }

  private wireControls(): void {
    const canvas = this.stage.canvas;
    const mods = (e: MouseEvent) => (e.shiftKey ? 1 : 0) | (e.ctrlKey ? 2 : 0) | (e.altKey ? 4 : 0);
    const button = (e: MouseEvent) => e.button;
    canvas.addEventListener('pointerdown', e => {
      this.sounds.unlock();
      if (this.pointerId !== null && this.pointerId !== e.pointerId) return; // one finger at a time
      this.pointerId = e.pointerId;
      canvas.setPointerCapture(e.pointerId);
      e.preventDefault();
      const [x, y] = this.stagePoint(e);
      this.machine.pointer('down', x, y, button(e), mods(e));
      this.changed();
    });
    canvas.addEventListener('pointermove', e => {
      if (this.pointerId !== null && this.pointerId !== e.pointerId) return;
      const [x, y] = this.stagePoint(e);
      this.machine.pointer('move', x, y, 0, mods(e));
      if (this.pointerId !== null) this.changed();
    });
    let lastTap: { t: number; x: number; y: number } | null = null;
    const up = (e: PointerEvent) => {
      if (this.pointerId !== e.pointerId) return;
      this.pointerId = null;
      const [x, y] = this.stagePoint(e);
      this.machine.pointer('up', x, y, button(e), mods(e));
      // Two taps of a finger in one place are a double-click (a part's block editor).
      if (e.pointerType !== 'mouse' && e.type === 'pointerup') {
        const now = performance.now();
        if (lastTap && now - lastTap.t < DoubleTapMs && Math.hypot(e.clientX - lastTap.x, e.clientY - lastTap.y) < DoubleTapSlop) {
          lastTap = null;
          this.machine.pointer('dblclick', x, y, 0, mods(e));
        } else lastTap = { t: now, x: e.clientX, y: e.clientY };
      }
      this.changed();
    };
    canvas.addEventListener('pointerup', up);
    canvas.addEventListener('pointercancel', up);
    canvas.addEventListener('dblclick', e => {
      const [x, y] = this.stagePoint(e);
      this.machine.pointer('dblclick', x, y, 0, mods(e));
      this.changed();
    });
    // The right button's press already went to the stage; a long press is the editing's.
    canvas.addEventListener('contextmenu', e => e.preventDefault());
    this.editing.wire();
    document.addEventListener('pointerdown', () => this.sounds.unlock(), { capture: true });
    document.addEventListener('keydown', () => this.sounds.unlock(), { capture: true });

    const command = (id: string, name: string) => $(id).addEventListener('click', () => this.command(name));
    command('cmdStart', 'run');
    command('cmdStop', 'stop');
    command('cmdStep', 'stepmode');
    command('Command3', 'next');
    command('Command4', 'wallet');
    command('Command1', 'money');
    $('cmdRunView').addEventListener('click', () => this.showRunView());

    // Menus: open on click, close on a choice or a click elsewhere.
    const closeMenus = () => {
      document.querySelectorAll('.menu-popup').forEach(m => ((m as HTMLElement).hidden = true));
      document.querySelectorAll('.menu-title').forEach(m => m.classList.remove('open'));
    };
    document.querySelectorAll<HTMLButtonElement>('.menu-title').forEach(t => t.addEventListener('click', e => {
      e.stopPropagation();
      const popup = $('menu-' + t.dataset.menu);
      const wasOpen = !popup.hidden;
      closeMenus();
      if (!wasOpen) { popup.hidden = false; t.classList.add('open'); (popup.querySelector('button:not(:disabled)') as HTMLElement | null)?.focus(); }
    }));
    document.addEventListener('pointerdown', e => { if (!(e.target as HTMLElement).closest('.menu')) closeMenus(); });
    document.querySelectorAll<HTMLButtonElement>('.menu-popup button').forEach(b => b.addEventListener('click', () => {
      closeMenus();
      void this.menu(b.dataset.command!);
    }));
    document.addEventListener('keydown', e => {
      if (this.dialogs.open || this.editing.modal || this.blockEditor.open) return;
      if (e.key === 'Escape') closeMenus();
      if ((e.ctrlKey || e.metaKey) && !e.altKey && (e.key === 'o' || e.key === 'O')) { e.preventDefault(); void this.menu('open'); }
      if ((e.ctrlKey || e.metaKey) && !e.altKey && (e.key === 's' || e.key === 'S')) { e.preventDefault(); void this.menu(e.shiftKey ? 'saveas' : 'save'); }
      if (e.altKey && (e.key === 'f' || e.key === 'F')) { e.preventDefault(); ($('menu-bar').querySelector('[data-menu=file]') as HTMLElement).click(); }
      if (e.altKey && (e.key === 'o' || e.key === 'O')) { e.preventDefault(); ($('menu-bar').querySelector('[data-menu=option]') as HTMLElement).click(); }
    });

    // Opening: the file picker, a folder, drag and drop anywhere on the page.
    $<HTMLInputElement>('open-input').addEventListener('change', e => {
      const input = e.target as HTMLInputElement;
      // The answer to the module's open dialog, or files given to the page without one.
      const asked = this.openInputAsked;
      this.openInputAsked = false;
      void this.openFiles(Array.from(input.files ?? []).map(f => ({ file: f, path: f.name })), null, asked);
      input.value = '';
    });
    $<HTMLInputElement>('folder-input').addEventListener('change', e => {
      const input = e.target as HTMLInputElement;
      void this.openFiles(Array.from(input.files ?? []).map(f => ({ file: f, path: f.webkitRelativePath || f.name })), null);
      input.value = '';
    });
    let depth = 0;
    window.addEventListener('dragenter', e => { e.preventDefault(); if (++depth === 1) $('drop-hint').hidden = false; });
    window.addEventListener('dragleave', () => { if (--depth <= 0) { depth = 0; $('drop-hint').hidden = true; } });
    window.addEventListener('dragover', e => e.preventDefault());
    window.addEventListener('drop', e => {
      e.preventDefault();
      depth = 0;
      $('drop-hint').hidden = true;
      void droppedFiles(e.dataTransfer).then(files => this.openFiles(files, null));
    });

    window.addEventListener('beforeunload', e => {
      if (!this.quitting && this.machine.isModified()) { e.preventDefault(); e.returnValue = ''; }
    });
    window.addEventListener('pagehide', () => { if (this.machine.isModified()) void this.writeRecovery(); });
  }

  command(name: string): void {
    this.sounds.unlock();
    // A run is where a machine may hang or crash: the copy is kept as the run starts.
    if (name === 'run') void this.writeRecovery();
    this.machine.command(name);
    if (name === 'stop') this.sounds.stopAll();
    this.changed();
  }

  private async menu(name: string): Promise<void> {
    switch (name) {
    case 'new': this.machine.command('new'); return;
    case 'open': return this.pickAndOpen();
    case 'openfolder': if (this.scene.controls.open) $('folder-input').click(); return;
    case 'save': this.save(false); return;
    case 'saveas': this.save(true); return;
    case 'quit': this.machine.command('quit'); return;
    case 'options': this.showOptions(); return;
    case 'runview': this.showRunView(); return;
    case 'print': if (this.scene.runMode === 0 && !this.editing.modal) showPrintDialog(this.machine, this.pictures, t => void this.dialogs.ask(t, 'ok', 'exclamation')); return;
    case 'pagesetup': if (this.scene.runMode === 0 && !this.editing.modal) void printMachine(this.machine, this.pictures, true); return;
    }
  }

  /** The module asks for a window of the page. */
  private request(what: string, index: number): void {
    switch (what) {
    case 'openfile': void this.chooseFileToOpen(); return;
    case 'savefile': void this.chooseFileToSave(); return;
    case 'opened': void this.opened(index === 1); return;
    case 'new': this.startAgain(); return;
    case 'quit': void this.quit(); return;
    case 'levelchosen': this.optionWindow?.close(); this.optionWindow = null; return;
    case 'recovered': this.recovered?.(index === 1); this.recovered = null; return;
    default: if (!this.blockEditor.request(what)) this.editing.request(what, index);
    }
  }

  /** 環境設定: while editing, the levels; the module asks and raises. */
  private showOptions(): void {
    if (this.scene.runMode !== 0 || this.editing.modal) return;
    const options = JSON.parse(this.machine.levelOptions()) as LevelOption[];
    this.optionWindow = showOptionWindow(options, level => { this.machine.chooseLevel(level); this.changed(); });
  }

  /** A part's worksheet (-1: every part's) to the browser's print; "" or why there is none. */
  printWorksheet(part: number, blank: boolean): Promise<string> { return printWorksheet(this.machine, part, blank); }

  showRunView(): void {
    if (this.runView) { this.runView.raise(); this.runView.update(); return; }
    this.runView = new RunView(this.core, this.machine, () => { this.runView = null; this.fit(); });
    this.fit();
  }

  // ---- opening: every way in goes through the module's open command, which offers to save
  // unsaved work first and then asks for the file ----
  private async pickAndOpen(): Promise<void> {
    if (!this.scene.controls.open) return;
    this.pendingOpen = null;
    this.machine.command('open');
  }

  /** The module's "ファイルを開く": files already chosen, or the system's file dialog. */
  private async chooseFileToOpen(): Promise<void> {
    const pending = this.pendingOpen;
    this.pendingOpen = null;
    if (pending) { await this.answerOpen(pending.files, pending.handle, pending.name, pending.bytes); return; }
    const w = window as PickerWindow;
    if (w.showOpenFilePicker) {
      let handles: FileHandle[];
      try {
        handles = await w.showOpenFilePicker({
          multiple: true,
          types: [{ description: 'ジハンコウボウファイル', accept: { 'application/octet-stream': ['.jhk', '.JHK'] } },
            { description: '絵', accept: { 'image/*': ['.bmp', '.png', '.jpg', '.gif'] } }],
        });
      } catch { this.machine.fileChosen('', null); return; } // the pupil chose nothing
      const files = await Promise.all(handles.map(async h => ({ file: await h.getFile(), path: h.name, handle: h })));
      const machine = files.find(f => /\.jhk$/i.test(f.path));
      await this.answerOpen(files, machine?.handle ?? null);
      return;
    }
    const input = $<HTMLInputElement>('open-input');
    // A dialog closed without a file answers the module too.
    this.openInputAsked = true;
    input.addEventListener('cancel', () => { this.openInputAsked = false; this.machine.fileChosen('', null); }, { once: true });
    input.click();
  }

  /** Files dropped, from a folder or from the file input: opened through the module's command. */
  async openFiles(files: { file: File; path: string }[], handle: FileHandle | null, asked = false): Promise<void> {
    if (asked) { await this.answerOpen(files, handle); return; }
    const machines = files.filter(f => /\.jhk$/i.test(f.path));
    if (machines.length === 0) { await this.answerOpen(files, null); return; } // pictures only
    if (!this.scene.controls.open) return;
    this.pendingOpen = { files, handle };
    this.machine.command('open');
  }

  /** The open dialog answered with `files`: pictures go where the machine names them, the
   *  machine's bytes to the module. */
  private async answerOpen(files: { file: File; path: string }[], handle: FileHandle | null, name?: string, given?: Uint8Array): Promise<void> {
    // Pictures go where the machine names them: beside the machine file (their path from its
    // folder) and by their bare name.
    const first = files.filter(f => /\.jhk$/i.test(f.path)).sort((a, b) => a.path.split('/').length - b.path.split('/').length)[0];
    const folder = first ? first.path.slice(0, first.path.lastIndexOf('/') + 1) : '';
    for (const f of files) {
      if (/\.(bmp|png|jpe?g|gif)$/i.test(f.path)) {
        this.pictures.addDeviceFile(f.path, f.file);
        const bytes = new Uint8Array(await f.file.arrayBuffer());
        const rel = folder && f.path.startsWith(folder) ? f.path.slice(folder.length) : f.path;
        const base = f.path.split('/').pop()!;
        // The module measures a painted picture's size as the desktop reads it from the folder.
        for (const n of new Set([rel, base])) this.core.putAppFile(n, bytes);
      }
    }
    if (given && name) {
      this.openHandle = null;
      this.machine.fileChosen(name, given);
      return;
    }
    if (!first) { this.machine.fileChosen('', null); this.redraw(); return; }
    this.openHandle = handle;
    this.machine.fileChosen(first.file.name, new Uint8Array(await first.file.arrayBuffer()));
  }

  async openFromSite(name: string): Promise<void> {
    const url = new URL(name, location.href);
    if (url.origin !== location.origin) {
      await this.dialogs.ask(`${name}\nこのサイトのファイルではないので開けません。`, 'ok', 'exclamation');
      return;
    }
    let bytes: Uint8Array;
    try {
      const r = await fetch(url.href);
      if (!r.ok) throw new Error(String(r.status));
      bytes = new Uint8Array(await r.arrayBuffer());
    } catch {
      await this.dialogs.ask(`${name}\nファイルが見つかりません。`, 'ok', 'exclamation');
      return;
    }
    this.pendingOpen = { files: [], handle: null, name: decodeURIComponent(url.pathname.split('/').pop() ?? name), bytes };
    const done = new Promise<void>(resolve => { this.afterOpen = resolve; });
    this.machine.command('open');
    await done;
  }
  private afterOpen: (() => void) | null = null;
  private recovered: ((restored: boolean) => void) | null = null;
  private optionWindow: { close(): void } | null = null;

  /** The module's open command has ended; a file the reader refused left the page as it was. */
  private async opened(ok: boolean): Promise<void> {
    const handle = this.openHandle;
    this.openHandle = null;
    if (ok) {
      delete document.documentElement.dataset.opened;
      this.shown = true;
      this.startWindow.close();
      this.fileHandle = handle;
      void recovery.remove();
      this.scene = readScene(this.machine.scene());
      this.fileName = this.scene.fileName;
      await this.preloadScene();
      this.refresh();
      // The machine is drawn whole, its pictures loaded (what tests and tools wait for).
      document.documentElement.dataset.opened = this.fileName;
    } else {
      this.changed();
    }
    const after = this.afterOpen;
    this.afterOpen = null;
    after?.();
  }

  private async preloadScene(): Promise<void> {
    const s = this.scene;
    const urls = ['builtin/wallet.png', 'builtin/wallet_mask.png', 'builtin/digits.png',
      ...[0, 1, 2, 3, 4].map(k => `builtin/coins/coin_${k}.png`)];
    const bg = this.pictures.resolve(s.background);
    if (bg) urls.push(bg);
    for (const p of s.parts) {
      urls.push(p.picture === 'dummy' ? `builtin/kinds/kind_${p.kind}.png` : this.pictures.resolve(p.picture));
      if (p.kind === 0) urls.push(`builtin/kinds/kind_0.png`);
    }
    await this.pictures.preload(urls.filter(Boolean));
    // The pictures a run switches to (lamps, lever, slots) are decoded while the pupil looks:
    // drawn at once when the run needs them, never a frame late.
    const later = this.appFiles.filter(f => /^bg\/.*_\d\.bmp$/i.test(f)).map(f => this.pictures.resolve(f));
    setTimeout(() => void this.pictures.preload(later), 0);
  }

  // ---- saving: the module's save command asks for the file and writes the bytes ----
  save(asNew: boolean): void {
    if (!this.scene.controls.save) return;
    this.saveAsNew = asNew;
    this.machine.command('save');
  }

  /** The module's "ファイルの保存": 上書き保存 answers with the file that was opened, else the
   *  system's save dialog, else a download; then the bytes the module wrote are kept there. */
  private async chooseFileToSave(): Promise<void> {
    const asNew = this.saveAsNew;
    this.saveAsNew = false;
    const w = window as PickerWindow;
    const suggested = this.fileName || 'machine.jhk';
    let target: FileHandle | null = null;
    if (!asNew && this.fileHandle?.createWritable) {
      target = this.fileHandle;
    } else if (w.showSaveFilePicker) {
      try {
        target = await w.showSaveFilePicker({
          suggestedName: suggested,
          types: [{ description: 'ジハンコウボウファイル', accept: { 'application/octet-stream': ['.jhk'] } }],
        });
      } catch { this.machine.fileChosen('', null); return; } // no name chosen
    }
    const name = target?.name ?? suggested;
    const bytes = this.machine.fileChosen(name, null);
    if (bytes.length === 0) { this.changed(); return; } // not saved: the module said why
    this.writing = (async () => {
      try {
        if (target) await writeTo(target, bytes);
        else download(bytes, name);
      } catch (e) {
        this.machine.writeFailed();
        await this.dialogs.ask(`${name}\n保存できませんでした。\n${(e as Error).message ?? ''}`, 'ok', 'critical');
        this.changed();
        return false;
      }
      if (target) this.fileHandle = target;
      this.fileName = name;
      clearTimeout(this.recoveryTimer);
      this.recoveryTimer = 0;
      void recovery.remove();
      this.changed();
      return true;
    })();
    await this.writing;
  }

  // ---- a new machine and the end ----
  /** After the module has offered to save: the start window, as the program starting again. */
  private startAgain(): void {
    this.runView?.close();
    this.startWindow.show(this.core.startWindowTexts(), c => void this.newMachine(c.level, c.background));
  }

  /** The pupil has answered the quit prompt: once a save it started is written the page ends
   *  (a window the browser lets it close), or starts again with the start window. */
  private async quit(): Promise<void> {
    await Promise.resolve(); // the save the prompt started hands its bytes over first
    if (!(await this.writing) && this.machine.isModified()) return; // the file could not be written
    this.quitting = true;
    clearTimeout(this.recoveryTimer);
    this.recoveryTimer = 0;
    await recovery.remove();
    window.close();
    // Still here: a tab the browser keeps open. The program starts again.
    this.quitting = false;
    await this.newMachine(this.scene.level, 0);
    this.startAgain();
  }

  // ---- the recovery copy ----
  private scheduleRecovery(): void {
    if (this.recoveryTimer || !this.machine) return;
    this.recoveryTimer = window.setTimeout(() => { this.recoveryTimer = 0; void this.writeRecovery(); }, RecoveryDelayMs);
  }

  private async writeRecovery(): Promise<void> {
    if (!this.machine.isModified()) return;
    // While the machine runs the module gives no copy: the tables hold the run's values.
    const bytes = this.machine.recoveryBytes();
    if (bytes.length === 0) return;
    try {
      await recovery.put({ bytes, fileName: this.fileName, time: Date.now() });
      document.documentElement.dataset.recovery = String(Date.now());
    } catch { /* storage full or refused: the page goes on without a copy */ }
  }

  /** A new empty machine at the level and with the background chosen in the start window. */
  async newMachine(level: number, background: number): Promise<void> {
    const old = this.machine;
    this.machine = new this.core.Machine(level, background);
    this.machine.setHost(this.host());
    old.delete();
    this.fileName = '';
    this.fileHandle = null;
    this.scene = readScene(this.machine.scene());
    await this.preloadScene();
    this.refresh();
  }

  private async offerRecovery(): Promise<void> {
    const copy = await recovery.get();
    if (!copy) return;
    // The question and the restoring are the module's, as the desktop asks at its start.
    const restored = new Promise<boolean>(resolve => { this.recovered = resolve; });
    this.machine.offerRecovery(copy.bytes, copy.time > 0 ? Math.floor(copy.time / 1000) : -1);
    if (!(await restored)) { void recovery.remove(); return; }
    this.shown = true;
    this.fileName = copy.fileName;
    this.scene = readScene(this.machine.scene());
    await this.preloadScene();
    this.refresh();
  }
}

async function writeTo(handle: FileHandle, bytes: Uint8Array): Promise<void> {
  const w = await handle.createWritable!();
  await w.write(bytes);
  await w.close();
}

/** Files and folders dropped on the page, each with its path inside what was dropped. */
async function droppedFiles(dt: DataTransfer | null): Promise<{ file: File; path: string }[]> {
  if (!dt) return [];
  const out: { file: File; path: string }[] = [];
  const entries = Array.from(dt.items).map(i => i.webkitGetAsEntry?.()).filter(Boolean) as FileSystemEntry[];
  if (entries.length === 0) return Array.from(dt.files).map(f => ({ file: f, path: f.name }));
  const walk = async (entry: FileSystemEntry, prefix: string): Promise<void> => {
    if (entry.isFile) {
      const file = await new Promise<File>((res, rej) => (entry as FileSystemFileEntry).file(res, rej));
      out.push({ file, path: prefix + entry.name });
    } else if (entry.isDirectory) {
      const reader = (entry as FileSystemDirectoryEntry).createReader();
      for (;;) {
        const batch = await new Promise<FileSystemEntry[]>((res, rej) => reader.readEntries(res, rej));
        if (batch.length === 0) break;
        for (const e of batch) await walk(e, prefix + entry.name + '/');
      }
    }
  };
  for (const e of entries) await walk(e, '');
  return out;
}

/** The page's fonts, loaded before the stage is first drawn: text on a canvas is drawn in the
 *  font there is at that moment. A browser that cannot load them goes on with its own. */
async function pageFonts(): Promise<void> {
  if (!document.fonts) return;
  await Promise.all(['12px "JHK Gothic"', '12px "JHK Sans"', 'bold 12px "JHK Sans"']
    .map(f => document.fonts.load(f, f.includes('Gothic') ? 'あ' : 'A').catch(() => undefined)));
}

/** The application folder's files: from app/pack.bin.gz (see web/tools/pack.mjs), or one by one
 *  in a browser that cannot decompress it. */
async function appFolder(): Promise<Map<string, Uint8Array>> {
  const ok = (r: Response) => { if (!r.ok) throw new Error(`${r.url}: ${r.status}`); return r; };
  if (typeof DecompressionStream !== 'undefined') {
    const r = ok(await fetch('app/pack.bin.gz'));
    return unpack(await new Response(r.body!.pipeThrough(new DecompressionStream('gzip'))).arrayBuffer());
  }
  const list = await ok(await fetch('app/files.json')).json() as string[];
  const bodies = await Promise.all(list.map(f => fetch('app/' + f).then(ok).then(r => r.arrayBuffer())));
  return new Map(list.map((f, i) => [f, new Uint8Array(bodies[i])]));
}

/** The pack's files; a file the pack leaves out (size -1, a stage background) stays on the site
 *  and is fetched when it is shown: it is named with an empty array. */
function unpack(pack: ArrayBuffer): Map<string, Uint8Array> {
  const view = new DataView(pack);
  const indexLength = view.getUint32(0, true);
  const index = JSON.parse(new TextDecoder().decode(new Uint8Array(pack, 4, indexLength))) as [string, number][];
  const files = new Map<string, Uint8Array>();
  let at = 4 + indexLength;
  for (const [name, size] of index) {
    if (size < 0) { files.set(name, OnSite); continue; }
    files.set(name, new Uint8Array(pack, at, size));
    at += size;
  }
  return files;
}
const OnSite = new Uint8Array(0);

function setEnabled(id: string, on: boolean): void {
  const el = document.getElementById(id) as HTMLButtonElement | null;
  if (el && el.disabled === on) el.disabled = !on;
}
function menuEnabled(command: string, on: boolean): void {
  const el = document.querySelector(`.menu-popup [data-command=${command}]`) as HTMLButtonElement | null;
  if (el) el.disabled = !on;
}
/** Sets a label's text; true when it changed. */
function setText(id: string, text: string): boolean {
  const el = document.getElementById(id)!;
  if (el.textContent === text) return false;
  el.textContent = text;
  return true;
}

/** The state label keeps inside its frame: a longer state ("１ブロックづつ") takes a smaller font. */
function fitStateLabel(): void {
  const el = document.getElementById('lblNowState')!;
  const room = 219 - 95 - 6;
  let px = 18;
  el.style.fontSize = `${px}px`;
  while (px > 6 && el.scrollWidth > room) el.style.fontSize = `${--px}px`;
}

if ('serviceWorker' in navigator && location.protocol !== 'file:') {
  window.addEventListener('load', () => { void navigator.serviceWorker.register('sw.js').catch(() => undefined); });
}

const page = new Page();
(window as unknown as { jihankobo: Page }).jihankobo = page;
page.start().catch(e => {
  document.documentElement.dataset.ready = 'failed';
  const layer = document.getElementById('dialog-layer')!;
  layer.hidden = false;
  layer.textContent = `ページを開けませんでした: ${(e as Error).message}`;
});
