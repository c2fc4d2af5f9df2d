// The block editor "ジハンコウボウ" of one part, a window inside the page at the desktop's layout:
// the block palette, the execution order, the flowchart canvas and the part information, and
// over it the block detail dialog "ブロックの説明". Every rule (what a drop, a press, a link or a
// button means, what each control shows) is the page module's BlockEditorSession; this file
// draws what the module describes and hands it the pupil's mouse, finger and keys.
import type { Core, Machine } from './core';
import type { Dialogs } from './dialogs';
import type { Pictures } from './pictures';
import type { Scene } from './scene';
import { download } from './download';
import { onActivate as activate } from './editing';
import { arr, boxOf, drawFlowchart, FlowchartPictures, num, obj, str, type J } from './flowchart';
import { printWorksheet } from './print';

/** What the editor needs of the page. */
export interface BlockEditorPage {
  readonly core: Core;
  readonly machine: Machine;
  readonly dialogs: Dialogs;
  readonly pictures: Pictures;
  readonly scene: Scene;
  changed(): void;
}

const WindowWidth = 790;
const WindowHeight = 518;
const TitleHeight = 20;
const CanvasLeft = 208;
const CanvasTop = 15;
const CanvasWidth = 353;
const CanvasHeight = 441;
// The editor's marks over the flowchart, as the desktop paints them.
const OutlineColour = '#ff0000';
const MarkerColour = '#ffffff';
const LongPressMs = 600;
const LongPressSlop = 8;
const DoubleTapMs = 400;
const DoubleTapSlop = 12;

const esc = (s: string) => s.replace(/[&<>"]/g, ch => ({ '&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;' }[ch]!));

export class BlockEditor {
  private layer: HTMLElement | null = null;
  private win!: HTMLElement;
  private canvas!: HTMLCanvasElement;
  private state: J | null = null;
  private last = '';
  private detailLayer: HTMLElement | null = null;
  private detailJson = '';
  private menu: HTMLElement | null = null;
  private variableMenu: HTMLElement | null = null;
  private pickBar: HTMLElement | null = null;
  private builtPart = -1;
  private pictures = new FlowchartPictures(() => { this.last = ''; this.update(); });
  private lastPointer: [number, number] = [0, 0];
  private canvasPointer: number | null = null;
  private longPress = 0;
  private lastTap: { t: number; x: number; y: number } | null = null;

  constructor(private page: BlockEditorPage) {
    document.addEventListener('keydown', e => this.key(e), { capture: true });
    document.addEventListener('pointerdown', e => {
      this.lastPointer = [e.clientX, e.clientY];
      if (this.menu && !this.menu.contains(e.target as Node)) this.closeMenu();
      if (this.variableMenu && !this.variableMenu.contains(e.target as Node)) this.answerVariable(-1);
    }, { capture: true });
    window.addEventListener('resize', () => this.fit());
  }

  /** The editor is open (also while it is hidden for a pick on the stage). */
  get open(): boolean { return this.state !== null; }

  /** The module asks for a window of the editor; false when the request is not the editor's. */
  request(what: string): boolean {
    if (what === 'blockeditor') { this.update(); return true; }
    if (what === 'variablemenu') { this.update(); return true; }
    return false;
  }

  /** Draws the editor again from what the module describes (after any change). */
  update(): void {
    const json = this.page.machine.blockEditor?.() ?? 'null';
    if (json === this.last) return;
    this.last = json;
    let s: J | null = null;
    try { s = obj(JSON.parse(json)); } catch { s = null; }
    this.state = s;
    if (!s) { this.teardown(); return; }
    if (!this.layer || this.builtPart !== num(s.part)) this.build(s);
    const picking = !!s.pickingOnStage;
    this.layer!.hidden = picking;
    this.showPickBar(picking);
    this.render(s);
    this.renderDetail(obj(s.detail));
    this.renderVariableMenu(Array.isArray(s.variableMenu) ? (s.variableMenu as unknown[]).map(str) : null);
  }

  private teardown(): void {
    this.layer?.remove();
    this.layer = null;
    this.detailLayer = null;
    this.detailJson = '';
    this.builtPart = -1;
    this.closeMenu();
    this.renderVariableMenu(null);
    this.showPickBar(false);
  }

  // ---- the window ----

  private build(s: J): void {
    this.teardown();
    this.builtPart = num(s.part);
    const layer = document.createElement('div');
    layer.className = 'be-layer';
    const win = document.createElement('div');
    win.className = 'window be-window';
    win.id = 'frmBLock';
    win.setAttribute('role', 'dialog');
    win.setAttribute('aria-modal', 'true');
    win.setAttribute('aria-label', 'ブロックエディタ');
    const tabs = arr(s.tabs);
    win.innerHTML = `<div class="title be-title"><span id="blockEditorCaption"></span><button class="be-close" aria-label="閉じる">×</button></div>
<div class="client" style="width:${WindowWidth}px;height:${WindowHeight}px">
  <div id="SSTab1" class="be-tabs" style="left:0;top:15px;width:205px;height:205px">
    <div class="be-tabbar" role="tablist">${tabs.map((t, i) => `<button role="tab" class="be-tab" id="be-tab${i}" disabled>${esc(str(t.caption))}</button>`).join('')}</div>
    <div class="be-tabpage">${tabs.map((_, i) => `<div class="be-list" role="listbox" id="LstBlockName${i}" hidden></div>`).join('')}</div>
  </div>
  <fieldset id="FrameRunber" class="group" style="left:0;top:240px;width:193px;height:97px"><legend>実行順序</legend>
    <div id="lbl_NextBlockID" class="label" style="left:24px;top:24px"></div>
    <button id="cmb_NextBlockSitei0" class="push be-small" style="left:16px;top:40px;width:62px;height:17px">指定</button>
    <button id="cmb_NextBlockSitei1" class="push be-small" style="left:104px;top:40px;width:62px;height:17px">指定</button>
    <button id="cmdRunOrder" class="push be-small" style="left:16px;top:40px;width:62px;height:17px">指定</button>
    <input id="cTxt_NextBlockID1" type="text" readonly tabindex="-1" class="be-field" style="left:29px;top:56px;width:40px;height:18px">
    <input id="cTxt_NextBlockID2" type="text" readonly tabindex="-1" class="be-field" style="left:114px;top:56px;width:40px;height:18px">
    <div id="lblTorF0" class="label be-exit" style="left:10px;top:80px">（条件成立時）</div>
    <div id="lblTorF1" class="label be-exit" style="left:95px;top:80px">（条件不成立時）</div>
  </fieldset>
  <button id="cmb_DelBlock" class="push" style="left:112px;top:350px;width:89px;height:25px">ブロックの削除</button>
  <button id="cmdEditorUndo" class="push be-touch" hidden style="left:8px;top:400px;width:93px;height:25px">元に戻す</button>
  <button id="cmdEditorRedo" class="push be-touch" hidden style="left:108px;top:400px;width:93px;height:25px">やり直し</button>
  <button id="cmdWorksheet" class="push" title="プログラムのあるパーツごとに1ページの、紙に印刷するワークシートを印刷します（印刷画面で PDF にも保存できます）" style="left:8px;top:434px;width:193px;height:25px">ワークシートを保存...</button>
  <button id="cmdFlowchartSave" class="push" title="この流れ図を PNG 画像に保存します" style="left:8px;top:464px;width:193px;height:25px">フローチャートを保存...</button>
  <canvas id="picBlockBack" width="${CanvasWidth}" height="${CanvasHeight}" style="left:${CanvasLeft}px;top:${CanvasTop}px;width:${CanvasWidth}px;height:${CanvasHeight}px" aria-label="フローチャート"></canvas>
  <fieldset id="FramePartsInfo" class="group" style="left:582px;top:5px;width:201px;height:484px"><legend>パーツ情報</legend>
    <canvas id="Image2" width="185" height="132" style="left:8px;top:20px;width:185px;height:132px"></canvas>
    <div id="lblBlockCount" class="label" style="left:8px;top:156px"></div>
    <div id="lblKaind" class="label" style="left:8px;top:176px"></div>
    <div id="lblPartsID" class="label" style="left:8px;top:196px"></div>
    <div id="lblX" class="label" style="left:8px;top:216px"></div>
    <div id="lblY" class="label" style="left:8px;top:236px"></div>
    ${[0, 1, 2].map(r => `<div id="Label${'ABC'[r]}" class="label" style="left:8px;top:${260 + 44 * r}px"></div>
    <input id="TextHennsuu${r}" type="text" class="be-var" style="left:8px;top:${277 + 44 * r}px;width:185px;height:22px">
    <select id="cmbHensuu${r}" class="be-var" style="left:8px;top:${277 + 44 * r}px;width:185px;height:22px" hidden></select>`).join('')}
    <label class="option" style="left:8px;top:${260 + 44 * 3 + 2}px"><input id="chkDragMode" type="checkbox">実行中ドラッグに対応する</label>
    <button id="SSCommand1" class="push" style="left:8px;top:432px;width:89px;height:25px">決定</button>
    <button id="cmd_Cancel" class="push" style="left:104px;top:432px;width:89px;height:25px">キャンセル</button>
  </fieldset>
</div>`;
    layer.appendChild(win);
    document.body.appendChild(layer);
    this.layer = layer;
    this.win = win;
    this.canvas = win.querySelector('#picBlockBack')!;
    this.fit();
    this.wire(s);
    this.drawPartPicture();
    // The keyboard is the editor's: its keys (Ctrl+Z, Escape) work at once.
    win.tabIndex = -1;
    this.page.dialogs.focusAfter(win);
  }

  /** The window at the size of the browser's window, as the main window is scaled. */
  private fit(): void {
    if (!this.layer) return;
    const s = Math.min(window.innerWidth / (WindowWidth + 2), window.innerHeight / (WindowHeight + TitleHeight + 2));
    const scale = s > 0 ? s : 1;
    this.layer.style.setProperty('--be-scale', String(scale));
    this.win.style.left = `${Math.max(0, (window.innerWidth - (WindowWidth + 2) * scale) / 2)}px`;
    this.win.style.top = `${Math.max(0, (window.innerHeight - (WindowHeight + TitleHeight + 2) * scale) / 2)}px`;
  }

  private q<T extends HTMLElement = HTMLElement>(id: string): T { return this.win.querySelector('#' + id) as T; }

  /** Something changed: the editor shows it at once, the page in its next frame. */
  private changed(): void {
    this.page.changed();
    this.update();
  }

  private command(name: string): void {
    this.page.machine.editorCommand?.(name);
    this.changed();
  }

  private wire(s: J): void {
    const m = this.page.machine;
    this.win.querySelector('.be-close')!.addEventListener('click', () => this.command('close'));
    activate(this.q('cmb_DelBlock'), () => this.command('delete'));
    activate(this.q('cmdRunOrder'), () => this.command('first'));
    activate(this.q('cmb_NextBlockSitei0'), () => this.command('next1'));
    activate(this.q('cmb_NextBlockSitei1'), () => this.command('next2'));
    activate(this.q('SSCommand1'), () => {
      // The fields as they read now, then 決定 (a refused value keeps the window open).
      [0, 1, 2].forEach(r => m.editorVariable?.(r, this.q<HTMLInputElement>(`TextHennsuu${r}`).value));
      this.command('ok');
    });
    activate(this.q('cmd_Cancel'), () => this.command('cancel'));
    activate(this.q('cmdFlowchartSave'), () => void this.saveFlowchart());
    activate(this.q('cmdWorksheet'), () => this.worksheetMenu());
    // A touch screen has no Ctrl+Z and Ctrl+Y: the editor's undo and redo as buttons, in the
    // free space above the worksheet's button.
    if (navigator.maxTouchPoints > 0) {
      for (const [id, name] of [['cmdEditorUndo', 'undo'], ['cmdEditorRedo', 'redo']]) {
        this.q(id).hidden = false;
        activate(this.q(id), () => this.command(name));
      }
    }
    [0, 1, 2].forEach(r => {
      const input = this.q<HTMLInputElement>(`TextHennsuu${r}`);
      input.addEventListener('input', () => { m.editorVariable?.(r, input.value); this.update(); });
    });
    const drag = this.q<HTMLInputElement>('chkDragMode');
    drag.addEventListener('change', () => { m.editorDragMode?.(drag.checked); this.update(); });
    // The lists: an entry pressed and dragged out onto the canvas.
    arr(s.tabs).forEach((t, tab) => {
      const list = this.q(`LstBlockName${tab}`);
      arr(t.entries).forEach((_, i) => {
        const item = document.createElement('div');
        item.className = 'be-entry';
        item.setAttribute('role', 'option');
        item.id = `be-entry${tab}_${i}`;
        item.textContent = str((t.entries as unknown[])[i]);
        list.appendChild(item);
        item.addEventListener('pointerdown', e => this.paletteDrag(e, tab, i, item));
      });
    });
    this.wireCanvas();
  }

  // ---- drawing the window's state ----

  private render(s: J): void {
    this.q('blockEditorCaption').textContent = str(s.caption);
    const current = num(s.currentTab, 1);
    arr(s.tabs).forEach((t, i) => {
      const tab = this.q<HTMLButtonElement>(`be-tab${i}`);
      tab.disabled = !t.enabled || !s.paletteEnabled;
      tab.classList.toggle('current', i === current);
      tab.setAttribute('aria-selected', String(i === current));
      const list = this.q(`LstBlockName${i}`);
      list.hidden = i !== current;
      list.classList.toggle('disabled', !s.listsEnabled);
    });
    this.q('SSTab1').classList.toggle('disabled', !s.paletteEnabled);
    this.q<HTMLButtonElement>('cmb_DelBlock').disabled = !s.deleteEnabled;
    this.q<HTMLButtonElement>('cmdEditorUndo').disabled = !s.undo;
    this.q<HTMLButtonElement>('cmdEditorRedo').disabled = !s.redo;

    const order = obj(s.order) ?? {};
    const caption = obj(order.caption) ?? {};
    const cap = this.q('lbl_NextBlockID');
    cap.textContent = str(caption.text);
    cap.hidden = !caption.visible;
    const fields = arr(order.fields);
    [0, 1].forEach(j => {
      const f = this.q<HTMLInputElement>(`cTxt_NextBlockID${j + 1}`);
      f.value = str(fields[j]?.text);
      f.hidden = !fields[j]?.visible;
      this.q(`lblTorF${j}`).hidden = !(order.exitCaptions as unknown[] | undefined)?.[j];
      this.q(`cmb_NextBlockSitei${j}`).hidden = !(order.pickButtons as unknown[] | undefined)?.[j];
    });
    this.q('cmdRunOrder').hidden = !order.firstBlockButton;

    const info = obj(s.info) ?? {};
    this.q('lblBlockCount').textContent = str(info.blockCount);
    this.q('lblKaind').textContent = str(info.kindName);
    this.q('lblPartsID').textContent = str(info.partNumber);
    this.q('lblX').textContent = str(info.x);
    this.q('lblY').textContent = str(info.y);
    arr(info.rows).forEach((r, i) => {
      this.q(`Label${'ABC'[i]}`).textContent = str(r.caption);
      const input = this.q<HTMLInputElement>(`TextHennsuu${i}`);
      // The module holds what was typed; it differs only where the module put a value back.
      if (input.value !== str(r.text)) input.value = str(r.text);
      input.hidden = !(r.textVisible && !r.listVisible);
      input.readOnly = !r.textEditable;
      input.tabIndex = r.textEditable ? 0 : -1;
      const list = this.q<HTMLSelectElement>(`cmbHensuu${i}`);
      const items = (Array.isArray(r.listItems) ? r.listItems as unknown[] : []).map(str);
      if (list.options.length !== items.length || items.some((t, k) => list.options[k].text !== t))
        list.replaceChildren(...items.map(t => new Option(t, t)));
      if (str(r.listText)) list.value = str(r.listText);
      list.hidden = !r.listVisible;
      list.disabled = !r.listEnabled;
    });
    this.q<HTMLInputElement>('chkDragMode').checked = !!info.dragMode;
    this.drawCanvas(obj(s.flowchart));
  }

  private picture(url: string): HTMLImageElement | null { return this.pictures.get(url); }

  private drawCanvas(f: J | null): void {
    const c = this.canvas.getContext('2d')!;
    c.setTransform(1, 0, 0, 1, 0, 0);
    c.fillStyle = '#000';
    c.fillRect(0, 0, CanvasWidth, CanvasHeight);
    if (!f) return;
    drawFlowchart(c, f, this.page.core, url => this.picture(url));
    // The target cell of a box being moved (dotted), then the selection outline.
    const marker = boxOf(f.marker);
    if (marker) {
      c.strokeStyle = MarkerColour;
      c.setLineDash([1, 2]);
      c.strokeRect(Math.round(marker.x) + 0.5, Math.round(marker.y) + 0.5, marker.w - 1, marker.h - 1);
      c.setLineDash([]);
    }
    const outline = boxOf(f.outline);
    if (outline) {
      c.strokeStyle = OutlineColour;
      c.strokeRect(Math.round(outline.x) + 0.5, Math.round(outline.y) + 0.5, outline.w - 1, outline.h - 1);
    }
  }

  /** The part's picture as the stage shows it, made smaller where it is larger than its place. */
  private drawPartPicture(): void {
    const c = this.q<HTMLCanvasElement>('Image2').getContext('2d')!;
    const part = this.page.scene.parts.find(p => p.slot === this.builtPart);
    c.clearRect(0, 0, 185, 132);
    if (!part) return;
    const img = this.page.pictures.partPicture(part.kind, part.picture);
    if (!img) { window.setTimeout(() => { if (this.layer) this.drawPartPicture(); }, 100); return; }
    const k = Math.min(1, 185 / img.naturalWidth, 132 / img.naturalHeight);
    const w = img.naturalWidth * k, h = img.naturalHeight * k;
    c.imageSmoothingEnabled = k < 1;
    c.drawImage(img, (185 - w) / 2, (132 - h) / 2, w, h);
  }

  // ---- the pupil's events ----

  /** A client position in canvas pixels (the window may be scaled). */
  private canvasPoint(e: { clientX: number; clientY: number }): [number, number] {
    const r = this.canvas.getBoundingClientRect();
    return [(e.clientX - r.left) * CanvasWidth / r.width, (e.clientY - r.top) * CanvasHeight / r.height];
  }

  private pointer(type: string, e: { clientX: number; clientY: number }, button: number): void {
    const [x, y] = this.canvasPoint(e);
    const answer = this.page.machine.editorPointer?.(type, x, y, button) ?? '';
    this.changed();
    if (answer === 'popup') this.showPopup();
  }

  private wireCanvas(): void {
    const canvas = this.canvas;
    canvas.addEventListener('pointerdown', e => {
      if (this.canvasPointer !== null && this.canvasPointer !== e.pointerId) return;
      e.preventDefault();
      this.canvasPointer = e.pointerId;
      canvas.setPointerCapture(e.pointerId);
      clearTimeout(this.longPress);
      if (e.pointerType !== 'mouse') {
        // A second tap close to the first is a double-click; a finger held still the right button.
        const now = performance.now();
        const tap = this.lastTap;
        if (tap && now - tap.t < DoubleTapMs && Math.hypot(e.clientX - tap.x, e.clientY - tap.y) < DoubleTapSlop) {
          this.lastTap = null;
          this.pointer('dblclick', e, 0);
          return;
        }
        this.lastTap = { t: now, x: e.clientX, y: e.clientY };
        const start = [e.clientX, e.clientY];
        this.longPress = window.setTimeout(() => {
          this.longPress = 0;
          this.lastTap = null;
          const at = { clientX: start[0], clientY: start[1] };
          this.pointer('down', at, 2);
          this.pointer('up', at, 2);
        }, LongPressMs);
      }
      this.pointer('down', e, e.button === 2 ? 2 : 0);
    });
    canvas.addEventListener('pointermove', e => {
      if (this.canvasPointer !== e.pointerId) return;
      if (this.longPress && e.pointerType !== 'mouse') {
        const tap = this.lastTap;
        if (!tap || Math.hypot(e.clientX - tap.x, e.clientY - tap.y) > LongPressSlop) { clearTimeout(this.longPress); this.longPress = 0; }
      }
      this.pointer('move', e, 0);
    });
    const up = (e: PointerEvent) => {
      if (this.canvasPointer !== e.pointerId) return;
      this.canvasPointer = null;
      clearTimeout(this.longPress);
      this.longPress = 0;
      this.pointer('up', e, e.button === 2 ? 2 : 0);
    };
    canvas.addEventListener('pointerup', up);
    canvas.addEventListener('pointercancel', up);
    canvas.addEventListener('dblclick', e => { e.preventDefault(); this.pointer('dblclick', e, 0); });
    canvas.addEventListener('contextmenu', e => e.preventDefault());
  }

  /** A palette entry pressed: dragged with the mouse or a finger and let go over the canvas. */
  private paletteDrag(e: PointerEvent, tab: number, position: number, item: HTMLElement): void {
    const s = this.state;
    if (!s || !s.listsEnabled || e.button !== 0) return;
    e.preventDefault();
    item.setPointerCapture(e.pointerId);
    const list = item.parentElement!;
    list.querySelectorAll('.be-entry').forEach(x => x.classList.toggle('selected', x === item));
    const ghost = document.createElement('div');
    ghost.className = 'be-ghost';
    ghost.textContent = item.textContent;
    const place = (p: PointerEvent) => { ghost.style.left = `${p.clientX + 6}px`; ghost.style.top = `${p.clientY + 6}px`; };
    let moved = false;
    const move = (p: PointerEvent) => {
      if (p.pointerId !== e.pointerId) return;
      if (!moved) { moved = true; document.body.appendChild(ghost); document.documentElement.classList.add('palette-drag'); }
      place(p);
    };
    const end = (u: PointerEvent) => {
      if (u.pointerId !== e.pointerId) return;
      item.removeEventListener('pointermove', move);
      item.removeEventListener('pointerup', end);
      item.removeEventListener('pointercancel', end);
      ghost.remove();
      document.documentElement.classList.remove('palette-drag');
      if (u.type === 'pointercancel') return;
      const r = this.canvas.getBoundingClientRect();
      if (u.clientX < r.left || u.clientY < r.top || u.clientX >= r.right || u.clientY >= r.bottom) return;
      const [x, y] = this.canvasPoint(u);
      this.page.machine.editorDrop?.(tab, position, x, y);
      this.changed();
    };
    item.addEventListener('pointermove', move);
    item.addEventListener('pointerup', end);
    item.addEventListener('pointercancel', end);
  }

  private key(e: KeyboardEvent): void {
    if (!this.state || this.page.dialogs.open) return;
    if (this.state.pickingOnStage) {
      // Escape gives up the pick of a part on the stage (the variable menu closes first).
      if (e.key === 'Escape') {
        e.preventDefault(); e.stopPropagation();
        if (this.variableMenu) this.answerVariable(-1);
        else { this.page.machine.escape?.(); this.changed(); }
      }
      return;
    }
    if (this.menu) {
      if (e.key === 'Escape') { e.preventDefault(); e.stopPropagation(); this.closeMenu(); }
      return;
    }
    if (this.detailLayer) {
      if (e.key === 'Escape') { e.preventDefault(); e.stopPropagation(); this.page.machine.detailClose?.(); this.changed(); }
      else if (e.key === 'Enter' && !(e.target instanceof HTMLButtonElement || e.target instanceof HTMLSelectElement)) {
        e.preventDefault(); e.stopPropagation(); this.page.machine.detailOk?.(); this.changed();
      }
      return;
    }
    const k = e.key.toLowerCase();
    if (e.key === 'Escape') { e.preventDefault(); e.stopPropagation(); this.command('close'); return; }
    if ((e.ctrlKey || e.metaKey) && !e.altKey) {
      // The editor's own history while it is open; the page's keys wait.
      e.stopPropagation();
      if (k === 'z' && !e.shiftKey) { e.preventDefault(); this.command('undo'); }
      else if (k === 'y' || (k === 'z' && e.shiftKey)) { e.preventDefault(); this.command('redo'); }
      else if (k === 's' || k === 'o') e.preventDefault();
    }
  }

  // ---- the box's pop-up menu ----

  private showPopup(): void {
    this.closeMenu();
    const enabled = (this.state?.popup as unknown[] | undefined) ?? [];
    const menu = document.createElement('div');
    menu.className = 'part-menu be-menu';
    menu.id = 'MnuHideMnue';
    menu.setAttribute('role', 'menu');
    const entries: [string, number][] = [['指定１', 0], ['指定２', 1], ['', -1], ['削除', 2]];
    for (const [caption, entry] of entries) {
      if (entry < 0) { menu.appendChild(document.createElement('hr')); continue; }
      const b = document.createElement('button');
      b.setAttribute('role', 'menuitem');
      b.textContent = caption;
      b.disabled = !enabled[entry];
      activate(b, () => {
        this.closeMenu();
        this.page.machine.editorPopup?.(entry);
        this.changed();
      });
      menu.appendChild(b);
    }
    this.placeMenu(menu);
    this.menu = menu;
  }

  private placeMenu(menu: HTMLElement, at?: [number, number]): void {
    // Just beside the pointer: the click that follows a finger's tap does not land on an entry.
    const [x, y] = at ?? [this.lastPointer[0] + 2, this.lastPointer[1] + 2];
    menu.style.position = 'fixed';
    menu.style.left = `${Math.min(x, window.innerWidth - 170)}px`;
    menu.style.top = `${Math.min(y, window.innerHeight - 70)}px`;
    menu.style.zIndex = '95';
    document.body.appendChild(menu);
    (menu.querySelector('button:not(:disabled)') as HTMLElement | null)?.focus();
  }

  private closeMenu(): void {
    this.menu?.remove();
    this.menu = null;
  }

  // ---- the pick of a part on the stage ----

  /** Over the stage while a part is picked: the hint is drawn by the stage; this is the way
   *  to give up without a keyboard. */
  private showPickBar(on: boolean): void {
    if (!on) { this.pickBar?.remove(); this.pickBar = null; return; }
    if (this.pickBar) return;
    const b = document.createElement('button');
    b.className = 'push be-pick-cancel';
    b.id = 'cmdPickCancel';
    b.textContent = '中止';
    b.style.cssText = 'left:482px;top:21px;width:58px;height:22px;position:absolute;z-index:20';
    activate(b, () => { this.page.machine.escape?.(); this.changed(); });
    document.getElementById('client')?.appendChild(b);
    this.pickBar = b;
  }

  private renderVariableMenu(captions: string[] | null): void {
    if (!captions) { this.variableMenu?.remove(); this.variableMenu = null; return; }
    if (this.variableMenu) return;
    const menu = document.createElement('div');
    menu.className = 'part-menu be-menu';
    menu.id = 'mnuHensuu';
    menu.setAttribute('role', 'menu');
    captions.forEach((caption, i) => {
      const b = document.createElement('button');
      b.setAttribute('role', 'menuitem');
      b.id = `mnuHensuu${i + 1}`;
      b.textContent = caption;
      activate(b, () => this.answerVariable(i));
      menu.appendChild(b);
    });
    menu.addEventListener('keydown', e => {
      const items = Array.from(menu.querySelectorAll('button'));
      const i = items.indexOf(document.activeElement as HTMLButtonElement);
      if (e.key === 'ArrowDown' || e.key === 'ArrowUp') {
        e.preventDefault();
        items[(i + (e.key === 'ArrowDown' ? 1 : items.length - 1)) % items.length].focus();
      }
    });
    this.placeMenu(menu);
    this.variableMenu = menu;
  }

  private answerVariable(entry: number): void {
    this.variableMenu?.remove();
    this.variableMenu = null;
    this.page.machine.chooseVariable?.(entry);
    this.changed();
  }

  // ---- the block detail dialog "ブロックの説明" ----

  private renderDetail(d: J | null): void {
    const json = d ? JSON.stringify(d) : '';
    if (json === this.detailJson) return;
    this.detailJson = json;
    if (!d) { this.detailLayer?.remove(); this.detailLayer = null; return; }
    const m = this.page.machine;
    const branch = !!d.branch;
    const w = num(d.width, 259), h = num(d.height, 296);
    const frameTop = branch ? 104 : 136, frameHeight = branch ? 142 : 110, frameWidth = branch ? 168 : w - 16;
    const operands = arr(d.operands), titles = arr(d.rowTitles);
    const pick = (d.pickButtons as unknown[] | undefined) ?? [];
    const operators = obj(d.operators) ?? {}, lamp = obj(d.lamp) ?? {};
    const field = (r: number, left: number, top: number, width: number) =>
      `<div id="lblHikisuu${r}" class="be-operand" style="left:${left}px;top:${top}px;width:${width}px;height:22px"${operands[r]?.visible && (branch ? r !== 2 : r < 2) ? '' : ' hidden'}>${esc(str(operands[r]?.text))}</div>`;
    const button = (b: number, left: number, top: number) =>
      `<button id="cmbSet${b + 1}" class="push" style="left:${left}px;top:${top}px;width:62px;height:22px"${pick[b] ? '' : ' hidden'}>指定</button>`;
    let frames: string;
    if (!branch) {
      const fw = frameWidth - 16 - 62 - 6;
      frames = `<fieldset id="Frame1" class="group" style="left:8px;top:${frameTop}px;width:${frameWidth}px;height:${frameHeight}px"><legend>${esc(str(d.frame1))}</legend>
        ${[0, 1].map(r => `<div id="Label2_${r}" class="label" style="left:8px;top:${18 + 44 * r}px"${titles[r]?.visible ? '' : ' hidden'}>${esc(str(titles[r]?.text))}</div>
        ${field(r, 8, 36 + 44 * r, fw)}${button(r, 8 + fw + 6, 36 + 44 * r)}`).join('')}</fieldset>`;
    } else {
      const fw = frameWidth - 16;
      const side = (frame: number, part: number, property: number, b: number, left: number) => {
        const lampShown = frame === 2 && !!lamp.visible;
        return `<fieldset id="Frame${frame}" class="group" style="left:${left}px;top:${frameTop}px;width:${frameWidth}px;height:${frameHeight}px"><legend>${esc(str(frame === 1 ? d.frame1 : d.frame2))}</legend>
        <div class="label" style="left:8px;top:18px">どのパーツの？</div>${field(part, 8, 36, fw - 68)}${button(b, 8 + fw - 62, 36)}
        <div class="label" style="left:8px;top:66px">${lampShown ? 'ランプの状態' : 'プロパティまたは数値'}</div>${field(property, 8, 84, fw)}
        ${frame === 2 ? `<select id="Combo2" style="left:8px;top:84px;width:${fw}px;height:24px"${lampShown ? '' : ' hidden'}></select>` : ''}</fieldset>`;
      };
      frames = side(1, 0, 1, 0, 8) + side(2, 3, 4, 2, w - 8 - frameWidth)
        + `<select id="Combo1" aria-label="比較演算子" style="left:${w / 2 - 32}px;top:${frameTop + 60}px;width:64px;height:24px"></select>`;
    }
    const fresh = !this.detailLayer;
    const layer = this.detailLayer ?? document.createElement('div');
    layer.className = 'be-detail-layer';
    layer.innerHTML = `<div class="window be-detail" id="frmBDialog" role="dialog" aria-modal="true" aria-label="${esc(str(d.caption))}">
      <div class="title">${esc(str(d.caption))}</div>
      <div class="client" style="width:${w}px;height:${h}px">
        <div id="lblBlockName" class="label be-name" style="left:8px;top:6px;width:${w - 16}px;height:22px">${esc(str(d.name))}</div>
        <div id="lblExplan" class="label wrap" style="left:8px;top:30px;width:${w - Math.trunc(280 / 15) - 8}px;height:${branch ? 70 : 100}px">${esc(str(d.explanation))}</div>
        ${frames}
        <button id="cmdOK" class="push default" style="left:${w / 2 - 44}px;top:${h - 36}px;width:89px;height:28px">ＯＫ</button>
      </div></div>`;
    const fill = (id: string, list: J) => {
      const sel = layer.querySelector(`#${id}`) as HTMLSelectElement | null;
      if (!sel) return;
      const items = (Array.isArray(list.items) ? list.items as unknown[] : []).map(str);
      sel.replaceChildren(...items.map(t => new Option(t, t)));
      sel.selectedIndex = str(list.text) ? items.indexOf(str(list.text)) : -1;
      sel.hidden = !list.visible;
    };
    fill('Combo1', operators);
    fill('Combo2', lamp);
    (layer.querySelector('#Combo1') as HTMLSelectElement | null)?.addEventListener('change', e => {
      m.detailOperator?.((e.target as HTMLSelectElement).value); this.changed();
    });
    (layer.querySelector('#Combo2') as HTMLSelectElement | null)?.addEventListener('change', e => {
      m.detailLamp?.((e.target as HTMLSelectElement).value); this.changed();
    });
    [0, 1, 2].forEach(b => {
      const el = layer.querySelector(`#cmbSet${b + 1}`) as HTMLElement | null;
      if (el) activate(el, () => { m.detailPick?.(b); this.changed(); });
    });
    activate(layer.querySelector('#cmdOK') as HTMLElement, () => { m.detailOk?.(); this.changed(); });
    if (fresh) {
      this.layer!.appendChild(layer);
      this.detailLayer = layer;
      (layer.querySelector('#cmdOK') as HTMLElement).focus();
    }
  }

  // ---- "ワークシートを保存..." ----

  /** The two kinds of worksheet the desktop's save dialog offers, then the pages to print. */
  private worksheetMenu(): void {
    this.closeMenu();
    const menu = document.createElement('div');
    menu.className = 'part-menu be-menu';
    menu.id = 'mnuWorksheet';
    menu.setAttribute('role', 'menu');
    for (const [caption, blank] of [['ワークシート', false], ['空欄のワークシート', true]] as [string, boolean][]) {
      const b = document.createElement('button');
      b.setAttribute('role', 'menuitem');
      b.textContent = caption;
      activate(b, () => {
        this.closeMenu();
        // Every part with a program, a page each, to the browser's print (a PDF there too).
        void printWorksheet(this.page.machine, -1, blank).then(refusal => {
          if (refusal) void this.page.dialogs.ask(refusal, 'ok');
          this.changed();
        });
      });
      menu.appendChild(b);
    }
    // Under the button, as a drop-down list.
    const r = this.q('cmdWorksheet').getBoundingClientRect();
    this.placeMenu(menu, [r.left, r.bottom]);
    this.menu = menu;
  }

  // ---- "フローチャートを保存..." ----

  /** The flowchart as the desktop saves it: a PNG of the canvas without the editor's marks. */
  private async saveFlowchart(): Promise<void> {
    const f = obj(this.state?.flowchart);
    if (!f) return;
    const out = document.createElement('canvas');
    out.width = CanvasWidth;
    out.height = CanvasHeight;
    drawFlowchart(out.getContext('2d')!, f, this.page.core, url => this.picture(url));
    const blob = await new Promise<Blob | null>(res => out.toBlob(res, 'image/png'));
    if (!blob) return;
    const name = `パーツ${num(this.state?.part)}の流れ図.png`;
    type SaveWindow = Window & { showSaveFilePicker?: (o?: unknown) => Promise<{ createWritable(): Promise<{ write(b: Blob): Promise<void>; close(): Promise<void> }> }> };
    const w = window as SaveWindow;
    if (w.showSaveFilePicker) {
      try {
        const handle = await w.showSaveFilePicker({ suggestedName: name, types: [{ description: 'PNG 画像', accept: { 'image/png': ['.png'] } }] });
        const writable = await handle.createWritable();
        await writable.write(blob);
        await writable.close();
      } catch (e) {
        if ((e as Error).name !== 'AbortError') await this.page.dialogs.ask(`${name}\n保存できませんでした。`, 'ok', 'critical');
      }
      return;
    }
    // Where the browser cannot save in place, the picture is a download.
    download(blob, name);
  }
}
