// Messages as modal in-page dialogs with the desktop's texts and buttons. One at a time, in the
// order they were asked; Enter answers the default button, Escape the escape button.

export type Answer = 'ok' | 'cancel' | 'yes' | 'no' | 'stop';
const Captions: Record<Answer, string> = { ok: 'OK', cancel: 'キャンセル', yes: 'はい(Y)', no: 'いいえ(N)', stop: '停止' };
const Icons: Record<string, string> = { critical: '×', question: '?', exclamation: '!', information: 'i' };

interface Request { text: string; buttons: string; icon: string; initial: string; resolve: (a: string | null) => void; }

export class Dialogs {
  private queue: Request[] = [];
  private showing = false;
  private returnFocus: HTMLElement | null = null; // what had the keyboard before the first box
  constructor(private layer: HTMLElement, private title: string) {}

  get open(): boolean { return this.showing; }

  /** Gives `el` the keyboard once every box is answered (at once when none is up). */
  focusAfter(el: HTMLElement): void {
    if (this.showing) this.returnFocus = el;
    else el.focus();
  }

  /** The answer: 'ok', 'cancel', 'yes', 'no', 'stop'; for a text box ('input') the text
   *  typed, or null when it was cancelled. */
  ask(text: string, buttons = 'ok', icon = '', initial = ''): Promise<string | null> {
    return new Promise(resolve => {
      this.queue.push({ text, buttons, icon, initial, resolve });
      if (!this.showing) {
        this.returnFocus = document.activeElement as HTMLElement | null;
        this.next();
      }
    });
  }

  private next(): void {
    const req = this.queue.shift();
    if (!req) {
      this.showing = false;
      this.layer.hidden = true;
      // The keyboard goes back where it was, e.g. to a refused box of a dialog to mend it.
      if (this.returnFocus?.isConnected) this.returnFocus.focus();
      this.returnFocus = null;
      return;
    }
    this.showing = true;
    const list = req.buttons.split(',').map(s => s.trim().toLowerCase()).filter(Boolean);
    const answers: Answer[] = [];
    for (const b of list) {
      if (b === 'ok') answers.push('ok');
      else if (b === 'okcancel') answers.push('ok', 'cancel');
      else if (b === 'yesno') answers.push('yes', 'no');
      else if (b === 'yesnocancel') answers.push('yes', 'no', 'cancel');
      else if (b === 'stop') answers.push('stop');
      else if (b === 'okstop') answers.push('ok', 'stop');
      else if (b === 'input') answers.push('ok', 'cancel');
    }
    if (answers.length === 0) answers.push('ok');
    const escape: Answer = answers.includes('cancel') ? 'cancel' : answers.includes('no') ? 'no' : answers[0];
    const icon = req.icon.toLowerCase();
    const box = document.createElement('div');
    box.className = 'dialog';
    box.setAttribute('role', icon === 'critical' || icon === 'exclamation' || answers.length > 1 ? 'alertdialog' : 'dialog');
    box.setAttribute('aria-modal', 'true');
    box.innerHTML = `<div class="title"></div><div class="body">${Icons[icon] ? `<div class="icon ${icon}" aria-hidden="true">${Icons[icon]}</div>` : ''}<div class="text"></div></div><div class="buttons"></div>`;
    box.querySelector('.title')!.textContent = this.title;
    const textEl = box.querySelector('.text')! as HTMLElement;
    textEl.textContent = req.text.replace(/\r\n/g, '\n');
    textEl.id = 'dialog-text';
    box.setAttribute('aria-labelledby', 'dialog-text');
    const row = box.querySelector('.buttons')!;
    let input: HTMLInputElement | null = null;
    if (list.includes('input')) {
      input = document.createElement('input');
      input.type = 'text';
      input.className = 'answer';
      input.value = req.initial; // a refused answer comes back to be mended
      input.setAttribute('aria-labelledby', 'dialog-text');
      box.insertBefore(input, row);
    }
    const finish = (a: Answer) => {
      document.removeEventListener('keydown', onKey, true);
      box.remove();
      req.resolve(input ? (a === 'ok' ? input.value : null) : a);
      this.next();
    };
    const onKey = (e: KeyboardEvent) => {
      if (e.key === 'Escape') { e.preventDefault(); e.stopPropagation(); finish(escape); }
      else if (e.key === 'Enter') {
        e.preventDefault(); e.stopPropagation();
        const focused = document.activeElement as HTMLElement | null;
        finish((focused?.dataset?.answer as Answer | undefined) ?? answers[0]);
      } else if (e.key === 'Tab') {
        // Focus stays inside the box.
        const buttons = [...(input ? [input] : []), ...Array.from(row.querySelectorAll('button'))] as HTMLElement[];
        const i = buttons.indexOf(document.activeElement as HTMLElement);
        e.preventDefault();
        buttons[(i + (e.shiftKey ? buttons.length - 1 : 1)) % buttons.length].focus();
      }
    };
    for (const a of answers) {
      const b = document.createElement('button');
      b.className = 'push' + (a === answers[0] ? ' default' : '');
      b.textContent = Captions[a];
      b.dataset.answer = a;
      b.addEventListener('click', () => finish(a));
      row.appendChild(b);
    }
    this.layer.replaceChildren(box);
    this.layer.hidden = false;
    document.addEventListener('keydown', onKey, true);
    (input ?? (row.querySelector('button') as HTMLButtonElement)).focus();
    input?.select();
  }
}

/** A window of the program's own over the main window (start window, property dialog, label
 * editor): a modal layer and the window in it, laid out by the caller. */
export function modalWindow(id: string, label: string, layerClass = ''): { layer: HTMLElement; win: HTMLElement } {
  const layer = document.createElement('div');
  layer.className = layerClass ? `window-layer ${layerClass}` : 'window-layer';
  const win = document.createElement('div');
  win.className = 'window';
  win.id = id;
  win.setAttribute('role', 'dialog');
  win.setAttribute('aria-modal', 'true');
  win.setAttribute('aria-label', label);
  return { layer, win };
}
