// The start window "frmOpen" of a new visit: the level (レベル１..３, each with the module's
// description) and the background (its thumbnail, chosen with the scroll bar), then START. It
// stands over the main window until it is answered, or until a machine is opened instead.

import { modalWindow } from './dialogs';

export interface StartChoice { level: number; background: number; }
export interface StartTexts { title: string; levels: string[]; }

const LevelCaptions = ['レベル１', 'レベル２', 'レベル３'];

export class StartWindow {
  private layer: HTMLElement | null = null;

  get open(): boolean { return this.layer !== null; }

  /** Shows the window; `started` gets the pupil's choice on START. */
  show(texts: StartTexts, started: (choice: StartChoice) => void): void {
    this.close();
    const choice: StartChoice = { level: 1, background: 0 };
    const { layer, win } = modalWindow('frmOpen', texts.title, 'start-layer');
    win.innerHTML = `<div class="title"></div>
      <div class="client" style="width:392px;height:305px">
        <div class="label" id="Label2" style="left:16px;top:16px;font-size:16px">ジハンコウボウ</div>
        <fieldset class="group" id="FrameLEVEL" style="left:8px;top:48px;width:217px;height:225px"><legend>レベル選択</legend></fieldset>
        <fieldset class="group" id="FrameHaikei" style="left:238px;top:48px;width:129px;height:169px"><legend>背景選択</legend>
          <img id="Image1" alt="" style="position:absolute;left:11px;top:18px;width:105px;height:119px">
          <input id="HScroll1" type="range" min="0" max="4" step="1" value="0" aria-label="背景選択" style="position:absolute;left:11px;top:138px;width:105px;height:17px;margin:0">
        </fieldset>
        <button id="cmdOK" class="push default" style="left:246px;top:240px;width:110px;height:30px">START</button>
      </div>`;
    (win.querySelector('.title') as HTMLElement).textContent = texts.title;
    const levels = win.querySelector('#FrameLEVEL') as HTMLElement;
    LevelCaptions.forEach((caption, i) => {
      const option = document.createElement('label');
      option.className = 'option f18';
      option.style.cssText = `position:absolute;left:20px;top:${24 + 64 * i}px;width:169px`;
      option.innerHTML = `<input type="radio" name="level" id="optLevel${i}" value="${i + 1}"${i === 0 ? ' checked' : ''}><span></span>`;
      (option.querySelector('span') as HTMLElement).textContent = caption;
      option.querySelector('input')!.addEventListener('change', () => { choice.level = i + 1; });
      const text = document.createElement('div');
      text.className = 'label wrap';
      text.id = `lblSetsumei${i}`;
      text.style.cssText = `position:absolute;left:32px;top:${52 + 64 * i}px;width:175px;height:32px`;
      text.textContent = texts.levels[i] ?? '';
      levels.append(option, text);
    });
    const thumb = win.querySelector('#Image1') as HTMLImageElement;
    const scroll = win.querySelector('#HScroll1') as HTMLInputElement;
    const showThumbnail = () => {
      choice.background = Number(scroll.value);
      thumb.src = `builtin/thumbs/bg_${choice.background}.png`;
    };
    scroll.addEventListener('input', showThumbnail);
    showThumbnail();
    const start = win.querySelector('#cmdOK') as HTMLButtonElement;
    start.addEventListener('click', () => {
      this.close();
      started({ ...choice });
    });
    win.addEventListener('keydown', e => {
      if (e.key === 'Enter' && !(e.target instanceof HTMLButtonElement)) { e.preventDefault(); start.click(); }
    });
    layer.appendChild(win);
    document.getElementById('main-window')!.appendChild(layer);
    this.layer = layer;
    start.focus();
  }

  close(): void {
    this.layer?.remove();
    this.layer = null;
  }
}

export interface LevelOption { text: string; enabled: boolean; checked: boolean; }

/** The environment settings "環境設定": the levels, those below the machine's greyed (the
 *  module says which), and "決定", which hands the chosen level to the module; the question
 *  and the message that follow are the module's. */
export function showOptionWindow(options: LevelOption[], decided: (level: number) => void): { close(): void } {
  const { layer, win } = modalWindow('frmOption', '環境設定');
  win.innerHTML = `<div class="title">環境設定</div>
    <div class="client" style="width:397px;height:273px">
      <fieldset class="group" id="FrameLEVEL" style="left:8px;top:5px;width:217px;height:225px"><legend>レベル選択</legend></fieldset>
      <button id="cmdOK" class="push default" style="left:280px;top:208px;width:89px;height:25px">決定</button>
    </div>`;
  const levels = win.querySelector('#FrameLEVEL') as HTMLElement;
  options.forEach((o, i) => {
    const option = document.createElement('label');
    option.className = 'option f18';
    option.style.cssText = `position:absolute;left:20px;top:${24 + 60 * i}px;width:169px`;
    option.innerHTML = `<input type="radio" name="option-level" id="optLevel${i}" value="${i + 1}"${o.checked ? ' checked' : ''}${o.enabled ? '' : ' disabled'}><span></span>`;
    (option.querySelector('span') as HTMLElement).textContent = LevelCaptions[i];
    const text = document.createElement('div');
    text.className = 'label wrap';
    text.id = `lblSetsumei${i}`;
    text.style.cssText = `position:absolute;left:32px;top:${52 + 60 * i}px;width:175px;height:30px`;
    text.textContent = o.text;
    levels.append(option, text);
  });
  const ok = win.querySelector('#cmdOK') as HTMLButtonElement;
  ok.addEventListener('click', () => {
    const chosen = win.querySelector<HTMLInputElement>('input[name=option-level]:checked');
    decided(chosen ? Number(chosen.value) : 1); // the window closes once the module has done
  });
  win.addEventListener('keydown', e => {
    if (e.key === 'Escape') { e.preventDefault(); e.stopPropagation(); layer.remove(); }
    else if (e.key === 'Enter' && !(e.target instanceof HTMLButtonElement)) { e.preventDefault(); ok.click(); }
  });
  layer.appendChild(win);
  document.getElementById('main-window')!.appendChild(layer);
  ok.focus();
  return { close: () => layer.remove() };
}
