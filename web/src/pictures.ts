// Pictures the stage shows: the application folder's files on the site, the built-in pictures,
// and pictures the pupil chose from the device with a machine.

const BuiltInSizes: [number, number][] = [[34, 67], [43, 19], [30, 30], [121, 44], [45, 39], [112, 129], [188, 70], [40, 40]];

export class Pictures {
  private images = new Map<string, HTMLImageElement>();
  private siteFiles = new Map<string, string>(); // lower-case relative path -> path on the site
  private appBytes = new Map<string, [Uint8Array, string]>(); // lower-case path -> bytes, type: made a URL when first shown
  private deviceFiles = new Map<string, string>(); // lower-case path or base name -> object URL
  onLoaded: () => void = () => {};

  /** The application folder's pictures, from the bytes the page already holds. */
  setAppFiles(files: Map<string, Uint8Array>): void {
    for (const [p, bytes] of files) {
      // A file the page has not fetched (an empty array): from its place on the site.
      if (bytes.length === 0) { this.siteFiles.set(p.toLowerCase(), 'app/' + p.split('/').map(encodeURIComponent).join('/')); continue; }
      const type = /\.png$/i.test(p) ? 'image/png' : /\.bmp$/i.test(p) ? 'image/bmp' : /\.wav$/i.test(p) ? 'audio/wav' : '';
      if (type) this.appBytes.set(p.toLowerCase(), [bytes, type]);
    }
  }

  /** A picture chosen from the device, under its relative path (folder) and its bare name. */
  addDeviceFile(relativePath: string, blob: Blob): void {
    const url = URL.createObjectURL(blob);
    const rel = relativePath.replace(/\\/g, '/').toLowerCase();
    this.deviceFiles.set(rel, url);
    const parts = rel.split('/');
    for (let i = 1; i < parts.length; ++i) this.deviceFiles.set(parts.slice(i).join('/'), url);
    this.deviceFiles.set(parts[parts.length - 1], url);
    // Everything drawn before may have been a placeholder for this very picture.
    for (const [key, img] of this.images) if (!img.complete || img.naturalWidth === 0) this.images.delete(key);
  }

  /** Where a stored picture path ("\bg\button_1.bmp") is found, or "" when nowhere. */
  resolve(stored: string): string {
    const rel = stored.replace(/\\/g, '/').replace(/^\.?\/+/, '').toLowerCase();
    if (!rel) return '';
    const site = this.siteFiles.get(rel);
    if (site) return site;
    const held = this.appBytes.get(rel);
    if (held) {
      const url = URL.createObjectURL(new Blob([held[0]], { type: held[1] }));
      this.siteFiles.set(rel, url);
      this.appBytes.delete(rel);
      return url;
    }
    const parts = rel.split('/');
    for (let i = 0; i < parts.length; ++i) {
      const dev = this.deviceFiles.get(parts.slice(i).join('/'));
      if (dev) return dev;
    }
    return '';
  }

  builtIn(path: string): HTMLImageElement | null { return this.image('builtin/' + path); }

  partPicture(kind: number, picture: string): HTMLImageElement | null {
    if (picture === 'dummy') return this.builtIn(`kinds/kind_${kind}.png`);
    const url = this.resolve(picture);
    return url ? this.image(url) : null;
  }

  static builtInSize(kind: number): [number, number] { return BuiltInSizes[kind] ?? [32, 32]; }

  /** The image when it has loaded; null (and a redraw later) while it loads or when it cannot. */
  image(url: string): HTMLImageElement | null {
    let img = this.images.get(url);
    if (!img) {
      img = new Image();
      img.decoding = 'async';
      img.onload = () => this.onLoaded();
      img.src = url;
      this.images.set(url, img);
    }
    return img.complete && img.naturalWidth > 0 ? img : null;
  }

  /** Loads every picture named, so that the first frame of a machine is whole. */
  async preload(urls: string[]): Promise<void> {
    await Promise.all(urls.map(u => {
      this.image(u);
      const img = this.images.get(u)!;
      return img.decode().catch(() => undefined);
    }));
  }
}
