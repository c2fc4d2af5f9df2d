// Building a machine on the page: parts dragged from the palette onto the stage with the mouse
// or a finger, the property dialog after a drop and from a part's menu, a long press as the
// right button, the パーツの削除 button and the 編集 menu with its keys. Every rule (what a drop,
// a press or a value means) is the page module's; this file only shows its windows and hands
// it the pupil's events.
import type { Machine } from './core';
import { modalWindow, type Dialogs } from './dialogs';
import type { Pictures } from './pictures';
import type { Scene } from './scene';

/** What the editing windows need of the page. */
export interface EditingPage {
  readonly machine: Machine;
  readonly dialogs: Dialogs;
  readonly pictures: Pictures;
  readonly scene: Scene;
  changed(): void;
  stagePoint(e: { clientX: number; clientY: number }): [number, number];
}

interface PropertyBox { label: string; shown: boolean; lamp: boolean; editable: boolean; text: string; }
interface PropertyDialogModel {
  slot: number; kind: number; kindName: string; newPart: boolean; boxes: PropertyBox[];
  scrollMaximum: number; scrollValue: number; picture: string; editShown: boolean;
}

const LabelButton = 8;
const MoneyInHandButton = 5;
const LongPressMs = 600;
const LongPressSlop = 8; // CSS pixels a finger may wander and still be held still
const LampBoxText = '消灯';

const $ = <T extends HTMLElement = HTMLElement>(id: string) => document.getElementById(id) as T;

export class Editing {
  private lastPointer: [number, number] = [0, 0]; // client position of the last press
  private longPress = 0;
  private menu: HTMLElement | null = null;
  private propertyWindow: HTMLElement | null = null;

  constructor(private page: EditingPage) {}

  /** A modal window of editing is open: the page's own keys wait. */
  get modal(): boolean { return document.querySelector('#main-window .window-layer') !== null; }

  wire(): void {
    for (let kind = 0; kind <= LabelButton; ++kind) this.wirePaletteButton(kind);
    $('cmd_DelParts').addEventListener('click', () => this.command('delete'));
    const canvas = $<HTMLCanvasElement>('Picture1');
    canvas.addEventListener('pointerdown', e => {
      clearTimeout(this.longPress);
      this.longPress = 0;
      // A finger held still on the stage is the right button there, as a long press is on a
      // tablet: the part's menu while editing.
      if (e.pointerType !== 'mouse' && e.isPrimary) {
        const start = [e.clientX, e.clientY];
        const id = e.pointerId;
        const cancel = () => {
          clearTimeout(this.longPress);
          this.longPress = 0;
          canvas.removeEventListener('pointermove', moved);
          canvas.removeEventListener('pointerup', cancel);
          canvas.removeEventListener('pointercancel', cancel);
        };
        const moved = (m: PointerEvent) => {
          if (m.pointerId === id && Math.hypot(m.clientX - start[0], m.clientY - start[1]) > LongPressSlop) cancel();
        };
        canvas.addEventListener('pointermove', moved);
        canvas.addEventListener('pointerup', cancel);
        canvas.addEventListener('pointercancel', cancel);
        this.longPress = window.setTimeout(() => {
          cancel();
          const [x, y] = this.page.stagePoint({ clientX: start[0], clientY: start[1] });
          this.page.machine.pointer('contextmenu', x, y, 2, 0);
          this.page.changed();
        }, LongPressMs);
      }
    });
    // Before the stage sees the press: where a menu it asks for goes, and a menu open closes.
    document.addEventListener('pointerdown', e => {
      this.lastPointer = [e.clientX, e.clientY];
      if (this.menu && !this.menu.contains(e.target as Node)) this.closeMenu();
    }, { capture: true });
    document.addEventListener('keydown', e => this.key(e));
    document.querySelectorAll<HTMLButtonElement>('#menu-edit button, #menu-step button').forEach(b => b.addEventListener('click', () => {
      this.command(b.dataset.command!);
    }));
  }

  /** The palette, the delete button and the 編集 menu as the scene allows them. */
  render(s: Scene): void {
    const c = s.controls;
    const editing = s.runMode === 0;
    for (let kind = 0; kind < LabelButton; ++kind)
      setEnabled('cmdPartsButton' + kind, editing && c.partButtons && (kind !== MoneyInHandButton || c.money));
    setEnabled('cmdPartsButton' + LabelButton, editing && c.labelButton);
    setEnabled('cmd_DelParts', c.delete);
    const undo = document.querySelector<HTMLButtonElement>('#menu-edit [data-command=undo]');
    const redo = document.querySelector<HTMLButtonElement>('#menu-edit [data-command=redo]');
    if (undo) { undo.disabled = !s.controls.undo; setMenuCaption(undo, s.controls.undoCaption); }
    if (redo) { redo.disabled = !s.controls.redo; setMenuCaption(redo, s.controls.redoCaption); }
    // The exercise steps of level 1: the step chosen is checked.
    $('menu-step-title').hidden = !c.stepControlsVisible;
    document.querySelectorAll<HTMLButtonElement>('#menu-step button').forEach(b => {
      b.setAttribute('aria-checked', String(b.dataset.command === `step${s.step}`));
      b.disabled = !editing;
    });
  }

  /** The module asks for a window: a part's menu, its property dialog. */
  request(what: string, index: number): void {
    if (what === 'partmenu') this.showPartMenu(index);
    else if (what === 'properties') this.showProperties();
    else if (what === 'label') this.showLabelEditor();
  }

  /** A label's caption measured as the stage draws it, in stage pixels. */
  measureLabel(l: { caption: string; fontSize: number; bold: boolean; italic: boolean; fontName: string }): [number, number] {
    const px = Math.max(1, Math.trunc(l.fontSize * 20 / 15));
    const ctx = document.createElement('canvas').getContext('2d')!;
    const family = l.fontName ? `"${l.fontName}", "JHK Gothic", sans-serif` : '"JHK Gothic", sans-serif';
    ctx.font = `${l.italic ? 'italic ' : ''}${l.bold ? 'bold ' : ''}${px}px ${family}`;
    const lines = l.caption.split(/\r?\n/);
    const w = Math.max(...lines.map(t => ctx.measureText(t).width));
    return [Math.ceil(w) + 2, Math.ceil(px * 1.2 * lines.length)];
  }

  private command(name: string): void {
    if (this.modal) return;
    this.page.machine.command(name);
    this.page.changed();
    if (name === 'undo' || name === 'redo') showHistoryNote(this.page.machine.historyNote?.() ?? '');
  }

  private key(e: KeyboardEvent): void {
    if (this.page.dialogs.open || this.modal) return;
    if (!(e.ctrlKey || e.metaKey) || e.altKey) {
      if (e.altKey && !e.ctrlKey && (e.key === 'e' || e.key === 'E')) {
        e.preventDefault();
        (document.querySelector('#menu-bar [data-menu=edit]') as HTMLElement | null)?.click();
      }
      if (e.altKey && !e.ctrlKey && (e.key === 's' || e.key === 'S') && !$('menu-step-title').hidden) {
        e.preventDefault();
        (document.querySelector('#menu-bar [data-menu=step]') as HTMLElement | null)?.click();
      }
      return;
    }
    const k = e.key.toLowerCase();
    // Only the keys the desktop program has: the browser keeps every other.
    if (k === 'z' && !e.shiftKey) { e.preventDefault(); this.command('undo'); }
    else if (k === 'y' || (k === 'z' && e.shiftKey)) { e.preventDefault(); this.command('redo'); }
  }

  // ---- the palette ----
  private wirePaletteButton(kind: number): void {
    const button = $<HTMLButtonElement>('cmdPartsButton' + kind);
    if (!button) return;
    button.addEventListener('pointerdown', e => {
      if (button.disabled || e.button !== 0 || this.modal) return;
      e.preventDefault();
      const drag = this.page.machine.paletteDown?.(kind) ?? false;
      this.page.changed();
      if (!drag) return;
      button.setPointerCapture(e.pointerId);
      document.documentElement.classList.add('palette-drag');
      const ghost = this.ghost(kind, e);
      const move = (m: PointerEvent) => { if (m.pointerId === e.pointerId) this.placeGhost(ghost, m); };
      const end = (u: PointerEvent) => {
        if (u.pointerId !== e.pointerId) return;
        button.removeEventListener('pointermove', move);
        button.removeEventListener('pointerup', end);
        button.removeEventListener('pointercancel', end);
        document.documentElement.classList.remove('palette-drag');
        ghost.remove();
        if (u.type === 'pointercancel') return;
        // Let go over the stage: the part's corner goes where the pointer is.
        const r = $('Picture1').getBoundingClientRect();
        if (u.clientX < r.left || u.clientY < r.top || u.clientX >= r.right || u.clientY >= r.bottom) return;
        const [x, y] = this.page.stagePoint(u);
        this.lastPointer = [u.clientX, u.clientY];
        this.page.machine.paletteDrop?.(kind, x, y);
        this.page.changed();
      };
      button.addEventListener('pointermove', move);
      button.addEventListener('pointerup', end);
      button.addEventListener('pointercancel', end);
    });
  }

  /** What follows the pointer during a drag from the palette: the button's picture. */
  private ghost(kind: number, e: PointerEvent): HTMLElement {
    const g = document.createElement('div');
    g.className = 'palette-ghost';
    if (kind === LabelButton) g.textContent = 'ラベル';
    else {
      const img = document.createElement('img');
      img.src = `builtin/palette/palette_${kind}.bmp`;
      img.alt = '';
      g.appendChild(img);
    }
    $('main-window').appendChild(g);
    this.placeGhost(g, e);
    return g;
  }

  private placeGhost(g: HTMLElement, e: PointerEvent): void {
    const [x, y] = this.windowPoint(e.clientX, e.clientY);
    g.style.left = `${x}px`;
    g.style.top = `${y}px`;
  }

  /** A client position in the main window's own pixels (the window may be scaled). */
  private windowPoint(cx: number, cy: number): [number, number] {
    const w = $('main-window');
    const r = w.getBoundingClientRect();
    return [(cx - r.left) * w.offsetWidth / r.width, (cy - r.top) * w.offsetHeight / r.height];
  }

  private showLabelEditor(): void {
    labelEditor(this.page, () => this.page.changed());
  }

  // ---- a part's menu ----
  private showPartMenu(slot: number): void {
    this.closeMenu();
    const menu = document.createElement('div');
    menu.className = 'part-menu';
    menu.setAttribute('role', 'menu');
    menu.id = 'mnuPartsPopup';
    const item = document.createElement('button');
    item.setAttribute('role', 'menuitem');
    item.textContent = 'プロパティの変更...';
    onActivate(item, () => {
      this.closeMenu();
      this.page.machine.changeProperties?.(slot);
      this.page.changed();
    });
    menu.appendChild(item);
    const [x, y] = this.windowPoint(...this.lastPointer);
    menu.style.left = `${Math.min(x, 777 - 200)}px`;
    menu.style.top = `${Math.min(y, 529 - 30)}px`;
    $('main-window').appendChild(menu);
    this.menu = menu;
    menu.addEventListener('keydown', e => { if (e.key === 'Escape') { e.preventDefault(); this.closeMenu(); } });
    item.focus();
  }

  private closeMenu(): void {
    this.menu?.remove();
    this.menu = null;
  }

  // ---- the property dialog "プロパティの設定" ----
  private showProperties(): void {
    const model = JSON.parse(this.page.machine.propertyDialog?.() ?? 'null') as PropertyDialogModel | null;
    if (!model) return;
    this.propertyWindow?.remove();
    const { layer, win } = modalWindow('frmPDialog', 'プロパティの設定');
    win.innerHTML = `<div class="title">プロパティの設定</div>
      <div class="client" style="width:370px;height:254px">
        <div class="label" style="left:8px;top:16px">次のパーツのプロパティを設定して下さい</div>
        <div class="label f16" id="lblPartsName" style="left:24px;top:48px"></div>
        <img id="imgPBMP" alt="" style="position:absolute">
        <input id="HScroll1" type="range" step="1" style="left:32px;top:168px;width:89px;height:17px">
        <button id="cmdEdit" class="push" disabled title="絵の編集（ペイント）はこのページではできません" style="left:95px;top:198px;width:81px;height:25px">編集</button>
        <button id="cmdOK" class="push default" style="left:183px;top:198px;width:81px;height:25px">決定</button>
        <button id="cmdCancel" class="push" style="left:272px;top:198px;width:81px;height:25px">キャンセル</button>
      </div>`;
    const client = win.querySelector('.client') as HTMLElement;
    win.querySelector('#lblPartsName')!.textContent = model.kindName;
    const inputs: HTMLInputElement[] = [];
    model.boxes.forEach((b, i) => {
      const meaning = document.createElement('div');
      meaning.className = 'label f16';
      meaning.id = `Label1_${i}`;
      meaning.textContent = b.label;
      meaning.style.cssText = `left:176px;top:${48 + 48 * i}px`;
      meaning.hidden = !b.shown;
      const input = document.createElement('input');
      input.type = 'text';
      input.className = 'f16';
      input.id = `txtDHennsuu${i}`;
      input.value = b.text;
      input.setAttribute('aria-label', b.label);
      input.style.cssText = `left:184px;top:${64 + 48 * i}px;width:105px;height:24px`;
      input.hidden = !b.shown || b.lamp;
      // A box the module does not offer for typing shows its value only, out of the Tab order.
      input.readOnly = !b.editable;
      input.tabIndex = b.editable ? 0 : -1;
      const lamp = document.createElement('select');
      lamp.className = 'f16';
      lamp.id = `cmbDHensuu${i}`;
      lamp.disabled = true;
      lamp.innerHTML = `<option>${LampBoxText}</option>`;
      lamp.style.cssText = input.style.cssText;
      lamp.hidden = !(b.shown && b.lamp);
      client.append(meaning, input, lamp);
      inputs.push(input);
    });
    const scroll = win.querySelector('#HScroll1') as HTMLInputElement;
    scroll.min = '0';
    scroll.max = String(model.scrollMaximum);
    scroll.value = String(model.scrollValue);
    const img = win.querySelector('#imgPBMP') as HTMLImageElement;
    const edit = win.querySelector('#cmdEdit') as HTMLButtonElement;
    const show = (m: PropertyDialogModel) => {
      const url = m.picture === 'dummy' ? `builtin/kinds/kind_${m.kind}.png` : this.page.pictures.resolve(m.picture);
      img.onload = () => {
        // Centred over the dialog's left half.
        img.style.left = `${Math.max(0, Math.trunc(183 / 2 - img.naturalWidth / 2))}px`;
        img.style.top = '70px';
      };
      if (url) img.src = url;
      img.hidden = !url;
      edit.hidden = !m.editShown;
    };
    show(model);
    scroll.addEventListener('input', () => {
      this.page.machine.propertyScroll?.(Number(scroll.value));
      const now = JSON.parse(this.page.machine.propertyDialog?.() ?? 'null') as PropertyDialogModel | null;
      if (now) show(now);
    });
    const close = () => {
      layer.remove();
      this.propertyWindow = null;
      this.page.changed();
    };
    const ok = () => {
      const answer = this.page.machine.propertyOk?.(inputs.map(i => i.value));
      if (!answer) return;
      if (answer.accepted) { close(); return; }
      // The module shows why; the box refused is there to mend.
      const box = inputs[answer.refusedBox];
      if (box) {
        if (answer.resetBox) box.value = '0';
        box.select();
        this.page.dialogs.focusAfter(box);
      }
      this.page.changed();
    };
    const cancel = () => {
      this.page.machine.propertyCancel?.();
      close();
    };
    onActivate(win.querySelector('#cmdOK') as HTMLElement, ok);
    onActivate(win.querySelector('#cmdCancel') as HTMLElement, cancel);
    win.addEventListener('keydown', e => {
      if (this.page.dialogs.open) return;
      if (e.key === 'Escape') { e.preventDefault(); e.stopPropagation(); cancel(); }
      else if (e.key === 'Enter' && !(e.target instanceof HTMLButtonElement)) { e.preventDefault(); e.stopPropagation(); ok(); }
      else if (e.key === 'Tab') {
        const order = [...inputs.filter(i => !i.hidden), scroll, ...Array.from(win.querySelectorAll<HTMLButtonElement>('button:not(:disabled):not([hidden])'))];
        const i = order.indexOf(document.activeElement as HTMLInputElement);
        e.preventDefault();
        order[(i + (e.shiftKey ? order.length - 1 : 1)) % order.length].focus();
      }
    });
    layer.appendChild(win);
    $('main-window').appendChild(layer);
    this.propertyWindow = layer;
    const first = inputs.find(i => !i.hidden);
    (first ?? (win.querySelector('#cmdOK') as HTMLElement)).focus();
    first?.select();
  }
}

/** A button pressed with the mouse, the keyboard or a finger. A finger lifted over the button
 *  it pressed presses it at once: a tablet may drop the click of a tap that moved the keyboard
 *  away from a text box. */
export function onActivate(button: HTMLElement, act: () => void): void {
  let touched = 0;
  let down = -1;
  button.addEventListener('pointerdown', e => { if (e.pointerType !== 'mouse') down = e.pointerId; });
  button.addEventListener('pointerup', e => {
    if (e.pointerId !== down) return;
    down = -1;
    const r = button.getBoundingClientRect();
    if (e.clientX < r.left || e.clientX >= r.right || e.clientY < r.top || e.clientY >= r.bottom) return;
    touched = performance.now();
    act();
  });
  button.addEventListener('click', () => { if (performance.now() - touched > 800) act(); });
}

interface LabelCell { x: number; y: number; w: number; h: number; colour: string; }
interface LabelDialogModel {
  slot: number; caption: string; fontName: string; fontSize: string; italic: boolean; bold: boolean;
  transparent: boolean; sizes: string[]; strips: { x: number; y: number; w: number; h: number; chosen: number; cells: LabelCell[] }[];
}

/** The label editor "ラベルの編集", opened by a double-click on a label. */
function labelEditor(page: EditingPage, closed: () => void): HTMLElement | null {
  const m = page.machine;
  const read = () => JSON.parse(m.labelDialog?.() ?? 'null') as LabelDialogModel | null;
  const model = read();
  if (!model) return null;
  const { layer, win } = modalWindow('frmLblEdit', 'ラベルの編集');
  win.innerHTML = `<div class="title">ラベルの編集</div>
    <div class="client" style="width:397px;height:273px">
      <div class="label" style="left:8px;top:8px">ラベル内容</div>
      <input id="txtLblCapt" type="text" aria-label="ラベル内容" style="left:8px;top:30px;width:265px;height:25px;font-size:12px">
      <div class="label" style="left:8px;top:72px">フォントの種類</div>
      <input id="txtFontName" type="text" aria-label="フォントの種類" style="left:8px;top:88px;width:129px;height:18px;font-size:12px">
      <select id="lstFont" size="5" aria-label="フォントの種類" style="left:8px;top:112px;width:129px;height:100px;font-size:12px"></select>
      <div class="label" style="left:144px;top:72px">フォントサイズ</div>
      <input id="txtFontSize" type="text" aria-label="フォントサイズ" style="left:144px;top:88px;width:81px;height:18px;font-size:12px">
      <select id="lstFontSize" size="3" aria-label="フォントサイズ" style="left:144px;top:112px;width:81px;height:52px;font-size:12px"></select>
      <div class="label" style="left:144px;top:166px">スタイル</div>
      <label class="option" style="left:144px;top:182px;font-size:12px"><input id="lstStileItalic" type="checkbox">Italic</label>
      <label class="option" style="left:144px;top:198px;font-size:12px"><input id="lstStileBold" type="checkbox">Bold</label>
      <div class="label" style="left:232px;top:72px">文字カラー</div>
      <div class="label" style="left:232px;top:112px">背景カラー</div>
      <label class="option" style="left:16px;top:224px"><input id="chkBack" type="checkbox">バックを透明にする</label>
      <button id="cmdOk" class="push default" style="left:224px;top:216px;width:72px;height:25px">決定</button>
      <button id="cmdCancel" class="push" style="left:304px;top:216px;width:72px;height:25px">キャンセル</button>
    </div>`;
  const q = <T extends HTMLElement>(sel: string) => win.querySelector(sel) as T;
  const caption = q<HTMLInputElement>('#txtLblCapt'), font = q<HTMLInputElement>('#txtFontName');
  const size = q<HTMLInputElement>('#txtFontSize'), sizes = q<HTMLSelectElement>('#lstFontSize');
  const italic = q<HTMLInputElement>('#lstStileItalic'), bold = q<HTMLInputElement>('#lstStileBold');
  const transparent = q<HTMLInputElement>('#chkBack');
  caption.value = model.caption; font.value = model.fontName; size.value = model.fontSize;
  italic.checked = model.italic; bold.checked = model.bold; transparent.checked = model.transparent;
  for (const s of model.sizes) sizes.add(new Option(s, s, false, s === model.fontSize));
  sizes.addEventListener('change', () => { size.value = sizes.value; });
  // The fonts the page can draw a label in; a click copies the name into the box above.
  const fonts = q<HTMLSelectElement>('#lstFont');
  for (const f of pageFontFamilies()) fonts.add(new Option(f, f, false, f === model.fontName));
  fonts.addEventListener('change', () => { font.value = fonts.value; });
  const client = q<HTMLElement>('.client');
  const cells: HTMLElement[][] = model.strips.map((strip, k) => strip.cells.map((c, j) => {
    const d = document.createElement('div');
    d.className = 'colour-cell';
    d.id = `colour${k}_${j}`;
    d.style.cssText = `left:${c.x}px;top:${c.y}px;width:${c.w}px;height:${c.h}px;background:${c.colour}`;
    client.appendChild(d);
    return d;
  }));
  const showChosen = (now: LabelDialogModel) =>
    now.strips.forEach((strip, k) => cells[k].forEach((d, j) => d.classList.toggle('chosen', j === strip.chosen)));
  showChosen(model);
  const send = () => m.labelEdit?.({
    caption: caption.value, fontName: font.value, fontSize: size.value, italic: italic.checked, bold: bold.checked,
    transparent: transparent.checked,
  });
  // A press on a colour strip chooses that colour; where it is, the module decides.
  client.addEventListener('pointerdown', e => {
    if (!(e.target as HTMLElement).classList.contains('colour-cell')) return;
    const r = client.getBoundingClientRect();
    const x = Math.floor((e.clientX - r.left) * client.offsetWidth / r.width);
    const y = Math.floor((e.clientY - r.top) * client.offsetHeight / r.height);
    send();
    m.labelPress?.(x, y);
    const now = read();
    if (now) showChosen(now);
  });
  const close = () => { layer.remove(); closed(); };
  onActivate(q('#cmdOk'), () => { send(); m.labelOk?.(); close(); });
  onActivate(q('#cmdCancel'), () => { m.labelCancel?.(); close(); });
  win.addEventListener('keydown', e => {
    if (page.dialogs.open) return;
    if (e.key === 'Escape') { e.preventDefault(); e.stopPropagation(); q<HTMLElement>('#cmdCancel').click(); }
    else if (e.key === 'Enter' && e.target instanceof HTMLInputElement && e.target.type === 'text') {
      e.preventDefault(); e.stopPropagation(); q<HTMLElement>('#cmdOk').click();
    }
  });
  layer.appendChild(win);
  document.getElementById('main-window')!.appendChild(layer);
  caption.focus();
  caption.select();
  return layer;
}

/** The font families the page has loaded (its own fonts), by name. */
function pageFontFamilies(): string[] {
  const names = new Set<string>();
  document.fonts?.forEach(f => names.add(f.family.replace(/^["']|["']$/g, '')));
  return [...names].sort();
}

/** A menu entry's caption from the rules' "元に戻す「パーツの削除」(&U)": the mnemonic underlined, the
 *  shortcut's note kept. Built from text nodes: a step's name is never read as markup. */
function setMenuCaption(button: HTMLButtonElement, caption: string): void {
  if (button.dataset.caption === caption) return;
  button.dataset.caption = caption;
  const key = button.querySelector('.key');
  const m = /^(.*)\(&(.)\)(.*)$/s.exec(caption);
  const nodes: Node[] = [];
  if (m) {
    const u = document.createElement('u');
    u.textContent = m[2];
    nodes.push(document.createTextNode(m[1] + '('), u, document.createTextNode(')' + m[3]));
  } else {
    nodes.push(document.createTextNode(caption));
  }
  if (key) nodes.push(key);
  button.replaceChildren(...nodes);
}

let historyNoteTimer = 0;

/** Said after an undo or redo the stage does not show (a program): right under the system frame's
 *  state and run buttons, within the window and over none of them, until the next click or key. */
function showHistoryNote(text: string): void {
  const note = document.getElementById('historyNote');
  if (!note) return;
  window.clearTimeout(historyNoteTimer);
  note.textContent = text;
  note.hidden = text === '';
  if (note.hidden) return;
  const frame = document.getElementById('framEDIT')!;
  const right = frame.offsetLeft + frame.offsetWidth;
  note.style.left = `${Math.min(frame.offsetLeft, right - note.offsetWidth)}px`;
  note.style.top = `${frame.offsetTop + frame.offsetHeight}px`;
  const hide = () => { note.hidden = true; window.clearTimeout(historyNoteTimer); };
  historyNoteTimer = window.setTimeout(hide, 10000);
  // The click or key that made the note is over; the next one takes it away.
  window.setTimeout(() => {
    window.addEventListener('pointerdown', hide, { once: true, capture: true });
    window.addEventListener('keydown', hide, { once: true, capture: true });
  });
}

function setEnabled(id: string, on: boolean): void {
  const el = document.getElementById(id) as HTMLButtonElement | null;
  if (el && el.disabled === on) el.disabled = !on;
}
