// What a tab holds: its work's Web Lock, for as long as the tab is open,
// and the work's id in its sessionStorage, by which a reloaded tab finds
// its work again. Web storage may refuse: the page then says so from what
// it knows.
'use strict';

const kWorkLock = 'zyr2font-work-';
const kTabWork = 'zyr2font-work';    // sessionStorage: the work this tab holds
// How long a reloaded tab waits for the page before it to let go of its
// work; a tab duplicated with its sessionStorage waits in vain, and starts
// a work of its own.
const kLockWaitMs = 1500;

const Tabs = (() => {
  const letGo = new Map();  // a work's id: what lets go of its lock

  function remember(store, key, value) {
    try {
      if (value === null) window[store].removeItem(key);
      else window[store].setItem(key, value);
    } catch (error) {
      // Refused here too: the page says so from what it knows.
    }
  }
  function recalled(store, key) {
    try {
      return window[store].getItem(key);
    } catch (error) {
      return null;
    }
  }

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

  // Resolves once no tab holds a work's lock: a tab closing lets go of it
  // only once it is gone. Holds nothing for longer than that instant.
  function whenFree(id) {
    if (!navigator.locks) return Promise.resolve();
    return navigator.locks.request(kWorkLock + id, { mode: 'shared' }, () => {}).catch(() => {});
  }

  // Watches each work another tab holds (not this tab's, mine): once that
  // tab lets go of it (it closed, or took up another work), freed() is
  // called. Each is watched once.
  const watched = new Set();
  async function watchHeld(mine, freed) {
    for (const id of await worksHeld()) {
      if (id === mine || watched.has(id)) continue;
      watched.add(id);
      whenFree(id).then(() => {
        watched.delete(id);
        freed();
      });
    }
  }

  const newId = () => (crypto.randomUUID ? crypto.randomUUID() : Date.now() + '-' + Math.random());

  // The works whose locks some open tab holds, by id (a tab only waiting
  // for one to be free holds it shared, for an instant: not counted).
  async function worksHeld() {
    if (!navigator.locks) return [];
    return (await navigator.locks.query()).held.filter((lock) => lock.mode === 'exclusive').map((lock) => lock.name)
      .filter((name) => name.startsWith(kWorkLock)).map((name) => name.slice(kWorkLock.length));
  }

  return { remember, recalled, hold, release, watchHeld, newId, worksHeld };
})();
