// Keeps the site in the browser's cache: after the first visit the page opens and runs with the
// network cut off. The build's own files (its precache list) come from the cache; anything else
// of the site (a teacher's example machines) comes from the network while there is one, so an
// example put there anew is seen, and from the cache without one. A new build replaces both.
const sw = self as unknown as ServiceWorkerGlobalScope;

const Version = 'jhk-__BUILD_ID__';
const Runtime = Version + '-runtime';

sw.addEventListener('install', (e: ExtendableEvent) => {
  e.waitUntil((async () => {
    const list = await (await fetch('precache.json', { cache: 'no-cache' })).json() as string[];
    const cache = await caches.open(Version);
    await cache.addAll(list);
    await sw.skipWaiting();
  })());
});

sw.addEventListener('activate', (e: ExtendableEvent) => {
  e.waitUntil((async () => {
    for (const key of await caches.keys()) if (key !== Version && key !== Runtime) await caches.delete(key);
    await sw.clients.claim();
  })());
});

sw.addEventListener('fetch', (e: FetchEvent) => {
  const req = e.request;
  const url = new URL(req.url);
  if (req.method !== 'GET' || url.origin !== sw.location.origin) return;
  e.respondWith((async () => {
    const cache = await caches.open(Version);
    // The page itself is found whatever its query (?machine=...).
    const hit = await cache.match(req, { ignoreSearch: req.mode === 'navigate' });
    if (hit) return hit;
    const runtime = await caches.open(Runtime);
    try {
      const res = await fetch(req);
      if (res.ok && res.type === 'basic') void runtime.put(req, res.clone());
      return res;
    } catch (err) {
      const kept = await runtime.match(req);
      if (kept) return kept;
      if (req.mode === 'navigate') {
        const page = await cache.match('./', { ignoreSearch: true }) ?? await cache.match('index.html');
        if (page) return page;
      }
      throw err;
    }
  })());
});
