// The recovery copy in the browser's storage (IndexedDB): one record, the machine's bytes and
// its file name, written within seconds of a change and removed once the machine is saved.

const DbName = 'jihankobo';
const StoreName = 'recovery';

function db(): Promise<IDBDatabase> {
  return new Promise((resolve, reject) => {
    const req = indexedDB.open(DbName, 1);
    req.onupgradeneeded = () => req.result.createObjectStore(StoreName);
    req.onsuccess = () => resolve(req.result);
    req.onerror = () => reject(req.error);
  });
}

async function run<T>(mode: IDBTransactionMode, f: (s: IDBObjectStore) => IDBRequest<T>): Promise<T> {
  const d = await db();
  try {
    return await new Promise<T>((resolve, reject) => {
      const tx = d.transaction(StoreName, mode);
      const req = f(tx.objectStore(StoreName));
      tx.oncomplete = () => resolve(req.result);
      tx.onerror = () => reject(tx.error);
      tx.onabort = () => reject(tx.error);
    });
  } finally { d.close(); }
}

export interface RecoveryCopy { bytes: Uint8Array; fileName: string; time: number; }

export const recovery = {
  put: (copy: RecoveryCopy) => run('readwrite', s => s.put(copy, 'machine')).then(() => undefined),
  get: () => run<RecoveryCopy | undefined>('readonly', s => s.get('machine')).catch(() => undefined),
  remove: () => run('readwrite', s => s.delete('machine')).then(() => undefined).catch(() => undefined),
};
