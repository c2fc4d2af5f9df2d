// The application folder's WAVE files through Web Audio, started on the pupil's first touch as
// browsers require.

export class Sounds {
  private ctx: AudioContext | null = null;
  private buffers = new Map<string, Promise<AudioBuffer | null>>();
  private playing = new Set<AudioBufferSourceNode>();

  /** Called from the first pointer or key event: browsers only start sound from a gesture. */
  unlock(): void {
    if (!this.ctx) {
      const Ctor = window.AudioContext ?? (window as unknown as { webkitAudioContext: typeof AudioContext }).webkitAudioContext;
      if (!Ctor) return;
      this.ctx = new Ctor();
    }
    if (this.ctx.state === 'suspended') void this.ctx.resume();
  }

  private buffer(url: string): Promise<AudioBuffer | null> {
    let b = this.buffers.get(url);
    if (!b) {
      const ctx = this.ctx!;
      b = fetch(url).then(r => (r.ok ? r.arrayBuffer() : Promise.reject(new Error(url))))
        .then(data => ctx.decodeAudioData(data)).catch(() => null);
      this.buffers.set(url, b);
    }
    return b;
  }

  /** Plays `url`; `ended` is called when it has played (at once when it cannot be played). */
  play(url: string, loop: boolean, ended?: () => void): void {
    if (!this.ctx || this.ctx.state !== 'running' && this.ctx.state !== 'suspended') { ended?.(); return; }
    const ctx = this.ctx;
    void this.buffer(url).then(buf => {
      if (!buf) { ended?.(); return; }
      const src = ctx.createBufferSource();
      src.buffer = buf;
      src.loop = loop;
      src.connect(ctx.destination);
      src.onended = () => { this.playing.delete(src); ended?.(); };
      this.playing.add(src);
      src.start();
      // A context that never starts (no gesture yet) must not hold a run waiting for its sound.
      if (ctx.state !== 'running' && ended) { src.onended = null; this.playing.delete(src); ended(); }
    });
  }

  stopAll(): void {
    for (const s of this.playing) { s.onended = null; try { s.stop(); } catch { /* already stopped */ } }
    this.playing.clear();
  }
}
