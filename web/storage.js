// Keeping the work in the browser's IndexedDB, which pages from file://
// have too. Each tab's work is its own: a record of the work, its steps
// one by one, and the files it came from, once each by their content. A
// tab holds its work through a Web Lock as long as it is open, so no
// other tab writes to it; a reloaded tab finds its work again by the id
// in its sessionStorage, and a page opened afresh takes up the work no
// open tab holds (after a closed or killed browser), the latest first.
// Each change writes only what changed: the new steps and the record.
// Every failure is said at once, and the page then says that the work is
// not being kept, never that it is back as it was left.
'use strict';

const kDatabase = 'zyr2font';
const kDatabaseVersion = 2;
const kWorkLock = 'zyr2font-work-';
const kTabWork = 'zyr2font-work';      // sessionStorage: the work this tab holds
const kUnkept = 'zyr2font-unkept-';    // localStorage: why a work's last changes were not kept
const kChannel = 'zyr2font';           // tells other tabs that the works kept changed
// How long a reloaded tab waits for the page before it to let go of its
// work; a tab duplicated with its sessionStorage waits in vain, and starts
// a work of its own.
const kLockWaitMs = 1500;
// After a failure, how long the keeping waits before it tries again.
const kRetryMs = 5000;

const kSaveKeeps = 'Save keeps a copy of the font (part 3).';
const kMayLetGo = 'The browser keeps your work from one visit to the next, but may let it go ' +
  'to free room, and a private window lets it go when it closes. ' + kSaveKeeps;

const Keeping = (() => {
  let database = null;
  let workId = null;
  // What the database holds of this work: the step numbers and source
  // keys; null when it is not known, and the next keeping writes it all.
  let stored = null;
  let failedAt = 0;
  let retry = null;
  let asked = false;     // navigator.storage.persist()
  let channel = null;
  const letGo = new Map();  // a work's id: what lets go of its lock

  const done = (request) => new Promise((resolve, reject) => {
    request.onsuccess = () => resolve(request.result);
    request.onerror = () => reject(request.error);
  });
  const finished = (transaction) => new Promise((resolve, reject) => {
    transaction.oncomplete = () => resolve();
    transaction.onabort = () => reject(transaction.error || new Error('the change was abandoned'));
  });
  const ofWork = (id) => IDBKeyRange.bound([id], [id, []]);

  function remember(store, key, value) {
    try {
      if (value === null) window[store].removeItem(key);
      else window[store].setItem(key, value);
    } catch (error) {
      // Storage refused here too: the page says so from what it knows.
    }
  }
  const recalled = (store, key) => {
    try {
      return window[store].getItem(key);
    } catch (error) {
      return null;
    }
  };

  // Why the browser refused: its own words, made a reason the user can act on.
  function reason(error) {
    if (error && error.name === 'QuotaExceededError') return 'the browser\'s storage for this page is full';
    return 'the browser refused to store it' + (error && error.message ? ': ' + error.message : '');
  }

  // A failure, said at once; the keeping tries again a while later.
  function failed(error) {
    stored = null;
    failedAt = Date.now();
    const why = reason(error);
    if (workId) remember('localStorage', kUnkept + workId, why);
    state.keeping = { ...state.keeping, status: 'unkept', why, news: '' };
    render(state);
  }

  function kept() {
    if (state.keeping.status === 'unkept') {
      remember('localStorage', kUnkept + workId, null);
      state.keeping = { ...state.keeping, status: 'kept', why: '', news: 'The browser keeps your work again.' };
      render(state);
    }
    if (!asked && navigator.storage && navigator.storage.persist) {
      asked = true;
      navigator.storage.persist().then((granted) => {
        state.keeping.note = granted ? '' : kMayLetGo;
        render(state);
      }, () => {});
    }
  }

  // --- The database ---------------------------------------------------

  // The page before this one kept one work, 'current', with its undo and
  // redo lists and its sources by id: it becomes a work no tab holds, for
  // the next page opened to take up.
  function upgradeFromFirst(transaction) {
    const id = 'earlier';
    transaction.objectStore('work').get('current').onsuccess = (event) => {
      const earlier = event.target.result;
      if (earlier) {
        const ref = (source) => source && { key: source.id, name: source.name, length: source.length };
        const work = (snap) => ({ font: snap.font, name: snap.name, codePage: snap.codePage,
                                  placedBy: snap.placedBy, source: ref(snap.source) });
        const steps = earlier.undo.concat(earlier.redo.slice().reverse());
        steps.forEach((step, i) => transaction.objectStore('steps').put('code' in step
          ? { work: id, n: i + 1, kind: 'glyphs', codes: [step.code], before: step.before, after: step.after }
          : { work: id, n: i + 1, kind: 'work', before: work(step.before), after: work(step.after) }));
        transaction.objectStore('works').put({
          ...work(earlier), id, changed: Date.now(), other: null, selected: earlier.selected,
          anchor: earlier.selected, dirty: earlier.dirty, at: earlier.undo.length, next: steps.length + 1,
        });
      }
      transaction.objectStore('sources').openCursor().onsuccess = (cursorEvent) => {
        const cursor = cursorEvent.target.result;
        if (cursor) {
          transaction.objectStore('files').put({ work: id, key: cursor.key, bytes: cursor.value });
          cursor.continue();
          return;
        }
        transaction.db.deleteObjectStore('work');
        transaction.db.deleteObjectStore('sources');
      };
    };
  }

  function openDatabase() {
    return new Promise((resolve, reject) => {
      const opening = indexedDB.open(kDatabase, kDatabaseVersion);
      opening.onupgradeneeded = (event) => {
        const db = opening.result;
        db.createObjectStore('works', { keyPath: 'id' });
        db.createObjectStore('steps', { keyPath: ['work', 'n'] });
        db.createObjectStore('files', { keyPath: ['work', 'key'] });
        if (event.oldVersion === 1) upgradeFromFirst(opening.transaction);
      };
      // A tab of the page before this one holds the database open.
      opening.onblocked = () => reject(new Error('a tab of an earlier version of this page is open; close it'));
      opening.onsuccess = () => {
        opening.result.onversionchange = () => opening.result.close();
        resolve(opening.result);
      };
      opening.onerror = () => reject(opening.error);
    });
  }

  // --- Tabs -----------------------------------------------------------

  // Holds a work's lock until the work is let go: true when held. Waits
  // for it when asked to (a reload), and otherwise takes it only if free.
  function hold(id, waitMs = 0) {
    if (!navigator.locks) return Promise.resolve(true);
    return new Promise((resolve) => {
      const options = waitMs > 0 ? { signal: AbortSignal.timeout(waitMs) } : { ifAvailable: true };
      navigator.locks.request(kWorkLock + id, options, (lock) => {
        resolve(lock !== null);
        return lock && new Promise((release) => letGo.set(id, release));
      }).catch(() => resolve(false));
    });
  }

  function release(id) {
    const release = letGo.get(id);
    letGo.delete(id);
    if (release) release();
  }

  const newId = () => (crypto.randomUUID ? crypto.randomUUID() : Date.now() + '-' + Math.random());

  // The works kept that no open tab holds, the latest first.
  async function othersKept() {
    const works = await done(database.transaction('works').objectStore('works').getAll());
    const held = navigator.locks ? (await navigator.locks.query()).held.map((lock) => lock.name) : [];
    return works.filter((work) => work.id !== workId && !held.includes(kWorkLock + work.id))
      .sort((a, b) => b.changed - a.changed)
      .map(({ id, name, changed }) => ({ id, name, changed }));
  }

  async function refreshOthers() {
    if (!database) return;
    state.keeping.others = await othersKept();
    render(state);
  }

  // The work of an id as kept: {record, steps, files}; record is
  // undefined when there is none.
  async function read(id) {
    const transaction = database.transaction(['works', 'steps', 'files']);
    const [record, steps, files] = await Promise.all([
      done(transaction.objectStore('works').get(id)),
      done(transaction.objectStore('steps').getAll(ofWork(id))),
      done(transaction.objectStore('files').getAll(ofWork(id))),
    ]);
    return { record, steps, files: new Map(files.map((file) => [file.key, file.bytes])) };
  }

  function holdingAs(id) {
    workId = id;
    remember('sessionStorage', kTabWork, id);
  }

  // Settles which work this tab holds: its own after a reload, else the
  // latest no tab holds, else a new one. Returns what is kept of it.
  async function settle() {
    const mine = recalled('sessionStorage', kTabWork);
    if (mine && await hold(mine, kLockWaitMs)) {
      holdingAs(mine);
      return read(mine);
    }
    const fresh = newId();
    await hold(fresh);
    holdingAs(fresh);
    for (const other of await othersKept()) {
      if (!await hold(other.id)) continue;
      release(fresh);
      holdingAs(other.id);
      return read(other.id);
    }
    return { record: undefined, steps: [], files: new Map() };
  }

  // Opens the database and settles this tab's work: what is kept of it,
  // and why its last changes were not kept, if they were not.
  async function start() {
    if (!window.indexedDB) {
      state.keeping = { ...state.keeping, status: 'unkept', why: 'this browser keeps nothing for pages' };
      return null;
    }
    try {
      database = await openDatabase();
      const kept = await settle();
      stored = null;
      const persisted = navigator.storage && navigator.storage.persisted ? await navigator.storage.persisted() : false;
      state.keeping = { ...state.keeping, status: 'kept', why: '', note: persisted ? '' : kMayLetGo,
                        others: await othersKept() };
      if ('BroadcastChannel' in window) {
        channel = new BroadcastChannel(kChannel);
        channel.onmessage = refreshOthers;
      }
      state.keeping.known = kept.record !== undefined;
      return { ...kept, unkept: recalled('localStorage', kUnkept + workId) };
    } catch (error) {
      database = null;
      state.keeping = { ...state.keeping, status: 'unkept', why: reason(error) };
      return null;
    }
  }

  // --- Writing --------------------------------------------------------

  const ref = (source) => source && { key: source.key, name: source.name, length: source.length };
  const storedWork = (work) => ({ ...work, source: ref(work.source) });
  const storedStep = (step) => (step.kind === 'glyphs' ? { ...step, work: workId }
    : { ...step, work: workId, before: storedWork(step.before), after: storedWork(step.after) });

  function record() {
    const { font, name, source, codePage, placedBy, other, otherCodePage, selected, anchor, dirty, history } = state;
    return {
      id: workId, changed: Date.now(), font, name, source: ref(source), codePage, placedBy,
      other: other && { ...other, source: ref(other.source) }, otherCodePage,
      selected, anchor, dirty, at: history.at, next: history.next,
    };
  }

  // Writes what changed since the last keeping: the steps added, the
  // steps let go, the files now used or no longer, and the record. After
  // a failure, everything.
  function keep() {
    if (!database || !workId) return;
    if (state.keeping.status === 'unkept' && Date.now() - failedAt < kRetryMs) {
      retry = retry || setTimeout(() => { retry = null; keep(); }, kRetryMs);
      return;
    }
    const whole = stored === null;
    const steps = new Set(state.history.steps.map((step) => step.n));
    const sources = sourcesInUse();
    let transaction;
    try {
      transaction = database.transaction(['works', 'steps', 'files'], 'readwrite');
      const stepStore = transaction.objectStore('steps');
      const fileStore = transaction.objectStore('files');
      if (whole) {
        stepStore.delete(ofWork(workId));
        fileStore.delete(ofWork(workId));
      }
      for (const step of state.history.steps) {
        if (whole || !stored.steps.has(step.n)) stepStore.put(storedStep(step));
      }
      for (const n of whole ? [] : stored.steps) {
        if (!steps.has(n)) stepStore.delete([workId, n]);
      }
      for (const [key, source] of sources) {
        if (whole || !stored.sources.has(key)) fileStore.put({ work: workId, key, bytes: source.bytes });
      }
      for (const key of whole ? [] : stored.sources) {
        if (!sources.has(key)) fileStore.delete([workId, key]);
      }
      transaction.objectStore('works').put(record());
    } catch (error) {
      if (transaction) transaction.abort();
      failed(error);
      return;
    }
    stored = { steps, sources: new Set(sources.keys()) };
    const first = !state.keeping.known;
    state.keeping.known = true;
    finished(transaction).then(() => {
      kept();
      if (first && channel) channel.postMessage('works');
    }, failed);
  }

  // Takes up another work kept, leaving this one kept for later: returns
  // what is kept of it, or null when another tab took it first.
  async function takeUp(id) {
    if (!database || !await hold(id)) return null;
    const kept = await read(id);
    release(workId);
    holdingAs(id);
    stored = null;
    state.keeping.known = true;
    state.keeping.others = await othersKept();
    if (channel) channel.postMessage('works');
    return { ...kept, unkept: recalled('localStorage', kUnkept + id) };
  }

  // Deletes a work kept that no tab holds.
  async function letGoOf(id) {
    if (!database || !await hold(id)) return;
    const transaction = database.transaction(['works', 'steps', 'files'], 'readwrite');
    transaction.objectStore('works').delete(id);
    transaction.objectStore('steps').delete(ofWork(id));
    transaction.objectStore('files').delete(ofWork(id));
    try {
      await finished(transaction);
      remember('localStorage', kUnkept + id, null);
    } catch (error) {
      failed(error);
    }
    release(id);
    await refreshOthers();
    if (channel) channel.postMessage('works');
  }

  return { start, keep, takeUp, letGoOf };
})();
