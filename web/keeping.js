// Keeping the work: each tab's work is its own. A tab holds its work
// through a Web Lock for as long as it is open, so no other tab writes to
// it; a reloaded tab finds its work again by the id in its sessionStorage,
// and a page opened afresh takes up the latest work no open tab holds
// (after a closed or killed browser) and lists the others. After each
// change the database (storage.js) writes what changed. Every failure is
// said at once, where the user looks; the page then says that the work is
// not being kept, and never that it is back as it was left. The browser
// may close the database under the page (its data cleared or evicted, a
// newer page upgrading it): the page opens it again and keeps all it
// holds once more.
'use strict';

const kUnkept = 'zyr2font-unkept-';  // localStorage: why a work's last changes were not kept
const kChannel = 'zyr2font';         // tells other tabs that the works kept changed
// After a failure, how long the keeping waits before it tries again; and
// how long it leaves the database to a newer page upgrading it.
const kRetryMs = 5000;

const kSaveKeeps = 'Save keeps a copy of the font (part 3).';
const kCleared = 'The browser cleared the work it kept for this page; the work open here is kept again.';
// A tab of the page before this one holds the database open, and this
// page cannot upgrade it until that tab is closed.
const kEarlierOpen = 'a tab of an earlier version of this page is open: close it, and this page keeps ' +
  'your work from then on';
const kEarlierClosed = 'The tab of the earlier version of this page is closed: the browser keeps your work again.';
const kNotOpenNow = 'the browser\'s storage for this page is not open now; try again in a moment';
const kMayLetGo = 'The browser keeps your work from one visit to the next, but may let it go ' +
  'to free room, and a private window lets it go when it closes. ' + kSaveKeeps;

const Keeping = (() => {
  // The connection to the database; null when the browser closed it or a
  // write failed on it, and the next keeping opens another.
  let database = null;
  let reopening = false;
  let workId = null;
  // What the database holds of this work (Storage.heldOf); null when that
  // is not known, and the next keeping writes it all.
  let held = null;
  let failedAt = 0;
  let failures = 0;  // in a row, since the work was last kept
  let retry = null;
  let cleared = '';  // said once the work is kept again: what the browser let go
  let asked = false;  // navigator.storage.persist()
  let channel = null;

  // Why a work's last changes were not kept, if they were not: said once,
  // as the work comes back; what comes back is then what is kept.
  function unkeptOnce(id) {
    const why = Tabs.recalled('localStorage', kUnkept + id);
    Tabs.remember('localStorage', kUnkept + id, null);
    return why;
  }

  // Why the browser refused, as a reason the user can act on.
  function reason(error) {
    if (error && error.name === 'QuotaExceededError') return 'the browser\'s storage for this page is full';
    if (error && error.name === 'VersionError') {
      return 'a newer version of this page changed how the browser keeps the work, and this one cannot keep it ' +
        'any more: the work as last kept here is there for the newer version to take up';
    }
    return 'the browser refused to store it' + (error && error.message ? ' (' + error.message + ')' : '');
  }

  // A write that failed, on its connection (null: none was opened). The
  // connection is let go. The first failure after the work was kept is
  // tried again at once, all of it on a new connection: the browser may
  // have closed the one before. Another is said at once, and the keeping
  // tries again a while later.
  function failed(error, connection) {
    letGoOfConnection(connection);
    held = null;
    failedAt = Date.now();
    if (++failures === 1) {
      keep();
      return;
    }
    const why = reason(error);
    if (workId) Tabs.remember('localStorage', kUnkept + workId, why);
    news(() => { state.keeping = { ...state.keeping, status: 'unkept', why, news: '' }; });
  }

  // A change kept: after a failure, or the work cleared by the browser,
  // said so, until the next change is.
  function kept() {
    failures = 0;
    if (state.keeping.status === 'unkept' || state.keeping.news !== '' || cleared !== '') {
      Tabs.remember('localStorage', kUnkept + workId, null);
      const said = cleared || (state.keeping.status === 'unkept' ? 'The browser keeps your work again.' : '');
      cleared = '';
      news(() => { state.keeping = { ...state.keeping, status: 'kept', why: '', news: said }; });
    }
    if (!asked && navigator.storage && navigator.storage.persist) {
      asked = true;
      navigator.storage.persist().then((granted) => {
        news(() => { state.keeping = { ...state.keeping, note: granted ? '' : kMayLetGo }; });
      }, () => {});
    }
  }

  // --- The connection -------------------------------------------------

  function letGoOfConnection(connection) {
    if (!connection) return;
    if (connection === database) {
      database = null;
      held = null;
    }
    connection.close();
  }

  // The browser closes a connection when the page's data is cleared or
  // evicted: the work is kept again at once. A newer page upgrading the
  // database asks it to close: it is opened again a while later.
  function watch(connection) {
    connection.onclose = () => {
      letGoOfConnection(connection);
      keep();
    };
    connection.onversionchange = () => {
      letGoOfConnection(connection);
      later();
    };
    return connection;
  }

  function later() {
    retry = retry || setTimeout(() => {
      retry = null;
      keep();
    }, kRetryMs);
  }

  // Opens the database again, and keeps the work all over again. What
  // was kept of this work and of others may be gone (the browser cleared
  // it): that is said once this work is kept again.
  async function reopen() {
    if (reopening) return;
    reopening = true;
    let connection = null;
    try {
      connection = watch(await Storage.open());
      const works = await Storage.works(connection);
      const othersGone = state.keeping.others.filter((other) => !works.some((work) => work.id === other.id)).length;
      if (state.keeping.known && !works.some((work) => work.id === workId)) {
        cleared = kCleared + (othersGone > 0 ? ' ' + plural(othersGone, 'other work') + ' it kept ' +
                                               (othersGone === 1 ? 'is' : 'are') + ' gone.' : '');
      }
      database = connection;
      held = null;
    } catch (error) {
      reopening = false;
      failed(error, connection);
      return;
    }
    reopening = false;
    keep();
    refreshOthers();
  }

  // --- Tabs -----------------------------------------------------------

  function holdingAs(id) {
    workId = id;
    Tabs.remember('sessionStorage', kTabWork, id);
  }

  // The works kept that no open tab holds, the latest first.
  async function othersKept(connection = database) {
    const works = await Storage.works(connection);
    const held = await Tabs.worksHeld();
    return works.filter((work) => work.id !== workId && !held.includes(work.id))
      .sort((a, b) => b.changed - a.changed)
      .map(({ id, name, changed }) => ({ id, name, changed }));
  }

  // The list of other works made again. The keeping's state may be
  // replaced while the works are read: the list goes into the one then.
  async function refreshOthers() {
    if (!database) return;
    let others;
    try {
      others = await othersKept();
    } catch (error) {
      return;  // the database closed meanwhile: reopening it lists them again
    }
    news(() => { state.keeping = { ...state.keeping, others }; });
    Tabs.watchHeld(workId, refreshOthers);
  }

  const tellOthers = () => channel && channel.postMessage('works');

  // Other tabs are told when this one holds a work, takes one up or lets
  // one go.
  function listenToOthers() {
    Tabs.watchHeld(workId, refreshOthers);
    if (channel || !('BroadcastChannel' in window)) return;
    channel = new BroadcastChannel(kChannel);
    channel.onmessage = refreshOthers;
  }

  // Settles which work this tab holds: its own after a reload, else the
  // latest no tab holds, else a new one. Returns what is kept of it.
  async function settle(connection) {
    const mine = Tabs.recalled('sessionStorage', kTabWork);
    if (mine && await Tabs.hold(mine, kLockWaitMs)) {
      holdingAs(mine);
      return Storage.read(connection, mine);
    }
    const fresh = Tabs.newId();
    await Tabs.hold(fresh);
    holdingAs(fresh);
    for (const other of await othersKept(connection)) {
      if (!await Tabs.hold(other.id)) continue;
      Tabs.release(fresh);
      holdingAs(other.id);
      return Storage.read(connection, other.id);
    }
    return Storage.read(connection, fresh);
  }

  // Opens the database and settles this tab's work: what is kept of it
  // (Storage.read), and why its last changes were not kept, if they were
  // not; null when nothing can be kept.
  async function start() {
    if (!window.indexedDB) {
      state.keeping = { ...state.keeping, status: 'unkept', why: 'this browser keeps nothing for pages' };
      return null;
    }
    let blocked = null;
    const isBlocked = new Promise((resolve) => { blocked = () => resolve(null); });
    const opening = Storage.open(blocked);
    try {
      const opened = await Promise.race([opening, isBlocked]);
      if (!opened) {
        startingLate(opening);
        return null;
      }
      const connection = watch(opened);
      database = connection;
      const work = await settle(connection);
      held = Storage.heldOf(work);
      const persisted = navigator.storage && navigator.storage.persisted ? await navigator.storage.persisted() : false;
      state.keeping = { ...state.keeping, status: 'kept', why: '', note: persisted ? '' : kMayLetGo,
                        others: await othersKept(connection), known: work.record !== undefined };
      listenToOthers();
      tellOthers();
      return { ...work, unkept: unkeptOnce(workId) };
    } catch (error) {
      database = null;
      state.keeping = { ...state.keeping, status: 'unkept', why: reason(error) };
      return null;
    }
  }

  // The database is held by a tab of an earlier page: said, and the page
  // starts with nothing kept; once that tab is closed the opening ends,
  // and the work of this tab, whatever it is then, is kept as its own.
  function startingLate(opening) {
    state.keeping = { ...state.keeping, status: 'unkept', why: kEarlierOpen };
    opening.then(startLate, (error) => {
      news(() => { state.keeping = { ...state.keeping, status: 'unkept', why: reason(error) }; });
    });
  }

  async function startLate(connection) {
    try {
      database = watch(connection);
      const fresh = Tabs.newId();
      await Tabs.hold(fresh);
      holdingAs(fresh);
      held = null;
      listenToOthers();
      const untouched = state.history.steps.length === 0 && state.name === '';
      if (untouched) news(() => { state.keeping = { ...state.keeping, status: 'kept', why: '', news: kEarlierClosed }; });
      else cleared = kEarlierClosed;
      if (!untouched) keep();
      await refreshOthers();
    } catch (error) {
      failed(error, connection);
    }
  }

  // The work as the database keeps it: the record and the two fonts, the
  // steps and the files they came from.
  function workNowKept() {
    const { font, name, source, codePage, placedBy, other, otherCodePage, selected, anchor, dirty, history } = state;
    const record = {
      changed: Date.now(), name, source, codePage, placedBy, otherCodePage, selected, anchor, dirty,
      other: other && { name: other.name, source: other.source, placedBy: other.placedBy },
      at: history.at, next: history.next,
    };
    return { record, fonts: { work: font, other: other && other.font }, steps: history.steps, sources: sourcesInUse() };
  }

  // Writes what changed since the last keeping; after a failure, or on a
  // connection opened again, all of it.
  function keep() {
    if (!workId || retry) return;
    if (state.keeping.status === 'unkept' && Date.now() - failedAt < kRetryMs) {
      later();
      return;
    }
    if (!database) {
      reopen();
      return;
    }
    const connection = database;
    let written;
    try {
      written = Storage.write(connection, workId, held, workNowKept());
    } catch (error) {
      failed(error, connection);
      return;
    }
    held = written.held;
    const first = !state.keeping.known;
    state.keeping.known = true;
    written.ending.then(() => {
      kept();
      if (first) tellOthers();
    }, (error) => failed(error, connection));
  }

  // Takes up another work kept, leaving this one kept for later: returns
  // what is kept of it, as start() does; {taken: false, held: true} when
  // another tab holds it, {taken: false, gone: true} when it is no longer
  // kept (let go, or cleared by the browser). The list is made again.
  async function takeUp(id) {
    if (!database) throw new Error(kNotOpenNow);
    if (!await Tabs.hold(id)) {
      await refreshOthers();
      return { taken: false, held: true };
    }
    let work;
    try {
      work = await Storage.read(database, id);
    } catch (error) {
      Tabs.release(id);
      throw new Error(kNotOpenNow);
    }
    if (!work.record) {
      Tabs.release(id);
      await refreshOthers();
      return { taken: false, gone: true };
    }
    Tabs.release(workId);
    holdingAs(id);
    held = Storage.heldOf(work);
    state.keeping.known = true;
    await refreshOthers();
    tellOthers();
    return { ...work, taken: true, unkept: unkeptOnce(id) };
  }

  // Deletes a work kept that no tab holds: whether it was let go (not
  // when another tab holds it now).
  async function letGoOf(id) {
    if (!database) throw new Error(kNotOpenNow);
    if (!await Tabs.hold(id)) {
      await refreshOthers();
      return false;
    }
    try {
      await Storage.remove(database, id);
      Tabs.remember('localStorage', kUnkept + id, null);
    } catch (error) {
      failed(error);
    }
    Tabs.release(id);
    await refreshOthers();
    tellOthers();
    return true;
  }

  return { start, keep, takeUp, letGoOf };
})();
