// The database that keeps the work: the browser's IndexedDB, which pages
// from file:// have too. Each work has a record (its name, code pages,
// selection, how many of its steps are done), its two fonts a glyph to an
// entry, its steps one to an entry, and the files it came from, once each
// by their content. A change writes what changed and nothing else: a
// stroke writes its step, the glyph it changed and the record.
'use strict';

const kDatabase = 'zyr2font';
const kDatabaseVersion = 2;
// The two fonts of a work, as their glyphs are kept.
const kFontsKept = ['work', 'other'];

const Storage = (() => {
  const done = (request) => new Promise((resolve, reject) => {
    request.onsuccess = () => resolve(request.result);
    request.onerror = () => reject(request.error);
  });
  const finished = (transaction) => new Promise((resolve, reject) => {
    transaction.oncomplete = () => resolve();
    transaction.onabort = () => reject(transaction.error || new Error('the change was abandoned'));
  });
  // Every entry of a work: its key begins with the work's id.
  const ofWork = (id) => IDBKeyRange.bound([id], [id, []]);
  const kStores = ['works', 'glyphs', 'steps', 'files'];

  function putGlyphs(store, id, which, font, changedSince) {
    for (let code = 0; code < kGlyphs; code++) {
      const glyph = font.subarray(code * kGlyphBytes, (code + 1) * kGlyphBytes);
      const before = changedSince && changedSince.subarray(code * kGlyphBytes, (code + 1) * kGlyphBytes);
      if (!before || glyph.some((b, i) => b !== before[i])) store.put({ work: id, font: which, code, bytes: glyph.slice() });
    }
  }

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
        const { font, ...rest } = work(earlier);
        transaction.objectStore('works').put({
          ...rest, id, changed: Date.now(), other: null, otherCodePage: 0, selected: earlier.selected,
          anchor: earlier.selected, dirty: earlier.dirty, at: earlier.undo.length, next: steps.length + 1,
        });
        putGlyphs(transaction.objectStore('glyphs'), id, 'work', font, null);
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

  // Opens the database, upgrading it when it is older. A tab of an
  // earlier page holding it open blocks the upgrade: blocked() is told,
  // and the opening goes on, to end when that tab is closed.
  function open(blocked = () => {}) {
    return new Promise((resolve, reject) => {
      const opening = indexedDB.open(kDatabase, kDatabaseVersion);
      opening.onupgradeneeded = (event) => {
        const db = opening.result;
        db.createObjectStore('works', { keyPath: 'id' });
        db.createObjectStore('glyphs', { keyPath: ['work', 'font', 'code'] });
        db.createObjectStore('steps', { keyPath: ['work', 'n'] });
        db.createObjectStore('files', { keyPath: ['work', 'key'] });
        if (event.oldVersion === 1) upgradeFromFirst(opening.transaction);
      };
      opening.onblocked = blocked;
      opening.onsuccess = () => resolve(opening.result);
      opening.onerror = () => reject(opening.error);
    });
  }

  const works = async (database) => done(database.transaction('works').objectStore('works').getAll());

  // A work as kept: {record, fonts: {work, other}, steps, files: Map of a
  // file's key to its bytes}; record is undefined when there is none.
  async function read(database, id) {
    const transaction = database.transaction(kStores);
    const [record, glyphs, steps, files] = await Promise.all(
      kStores.map((name) => done(name === 'works' ? transaction.objectStore(name).get(id)
        : transaction.objectStore(name).getAll(ofWork(id)))));
    const fonts = { work: new Uint8Array(kFontSize), other: null };
    for (const { font, code, bytes } of glyphs) {
      fonts[font] = fonts[font] || new Uint8Array(kFontSize);
      fonts[font].set(bytes, code * kGlyphBytes);
    }
    return { record, fonts, steps, files: new Map(files.map((file) => [file.key, file.bytes])) };
  }

  // A file a work came from is kept apart, once: the work and its steps
  // keep its key, name and length.
  const ref = (source) => source && { key: source.key, name: source.name, length: source.length };
  const keptWork = (work) => ({ ...work, source: ref(work.source) });
  const keptStep = (step, id) => (step.kind === 'glyphs' ? { ...step, work: id }
    : { ...step, work: id, before: keptWork(step.before), after: keptWork(step.after) });

  // What the database holds of a work just read, to write changes against.
  const heldOf = (kept) => ({
    steps: new Set(kept.steps.map((step) => step.n)), sources: new Set(kept.files.keys()),
    fonts: { work: kept.fonts.work, other: kept.fonts.other },
  });

  // Writes a work's changes since `held` (null: all of it) in one
  // transaction: {record, fonts, steps (each with its n), sources (a Map
  // of key to source)}; the record's sources are kept as references. Returns the transaction's end and what the
  // database will then hold. Throws when the browser refuses at once.
  function write(database, id, held, work) {
    const transaction = database.transaction(kStores, 'readwrite');
    try {
      const [glyphs, steps, files] = ['glyphs', 'steps', 'files'].map((name) => transaction.objectStore(name));
      if (!held) kStores.slice(1).forEach((name) => transaction.objectStore(name).delete(ofWork(id)));
      for (const which of kFontsKept) {
        const font = work.fonts[which];
        const before = held && held.fonts[which];
        if (font) putGlyphs(glyphs, id, which, font, before);
        else if (before) glyphs.delete(IDBKeyRange.bound([id, which], [id, which, []]));
      }
      const numbers = new Set(work.steps.map((step) => step.n));
      for (const step of work.steps) {
        if (!held || !held.steps.has(step.n)) steps.put(keptStep(step, id));
      }
      for (const n of held ? held.steps : []) {
        if (!numbers.has(n)) steps.delete([id, n]);
      }
      for (const [key, source] of work.sources) {
        if (!held || !held.sources.has(key)) files.put({ work: id, key, bytes: source.bytes });
      }
      for (const key of held ? held.sources : []) {
        if (!work.sources.has(key)) files.delete([id, key]);
      }
      const { record } = work;
      transaction.objectStore('works').put({
        ...keptWork(record), id, other: record.other && keptWork(record.other),
      });
    } catch (error) {
      transaction.abort();
      throw error;
    }
    // Committed now, not when the page next hears from the database: the
    // page may be closed or reloaded in between.
    if (transaction.commit) transaction.commit();
    const fonts = { work: work.fonts.work.slice(), other: work.fonts.other && work.fonts.other.slice() };
    return { ending: finished(transaction), held: { steps: new Set(work.steps.map((step) => step.n)),
                                                    sources: new Set(work.sources.keys()), fonts } };
  }

  async function remove(database, id) {
    const transaction = database.transaction(kStores, 'readwrite');
    transaction.objectStore('works').delete(id);
    kStores.slice(1).forEach((name) => transaction.objectStore(name).delete(ofWork(id)));
    await finished(transaction);
  }

  return { open, works, read, heldOf, write, remove, ref };
})();
