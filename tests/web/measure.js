// Measures a built page in Debian's Chromium, each in a profile of its own:
// the time from a load's start to the page being ready (the median of five
// loads), fresh and again with 5,000 edits kept, the time those edits take
// (Space on a pixel of the editor, each an undoable step), and what
// IndexedDB holds after them, as the browser counts it and on the disk.
// Figures, not a test: no time is asserted. Usage: node measure.js PAGE...
'use strict';

const childProcess = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');

const kLoads = 5;
const kEdits = Number(process.env.EDITS || 5000);

const median = (values) => values.slice().sort((a, b) => a - b)[Math.floor(values.length / 2)];

// When the page marks itself ready, from the start of the load.
function recordReady() {
  new MutationObserver((_, observer) => {
    if (document.body && document.body.dataset.ready === 'yes') {
      window.readyAt = performance.now();
      observer.disconnect();
    }
  }).observe(document, { attributes: true, subtree: true, attributeFilter: ['data-ready'] });
}

async function readyTimes(page) {
  const times = [];
  for (let i = 0; i < kLoads; i++) {
    await page.reload();
    await page.waitForFunction(() => window.readyAt !== undefined);
    times.push(await page.evaluate(() => window.readyAt));
  }
  return median(times);
}

async function measure(pagePath) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'zyr2font-measure-'));
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium', headless: true, userDataDir: profile, args: ['--no-sandbox', '--headless'],
  });
  const page = await browser.newPage();
  page.on('dialog', (dialog) => dialog.accept());
  await page.evaluateOnNewDocument(recordReady);
  await page.goto('file://' + path.resolve(pagePath));
  await page.waitForSelector('body[data-ready=yes]');
  const fresh = await readyTimes(page);

  await (await page.$('#open-file')).uploadFile('/usr/share/consolefonts/Lat15-VGA8.psf.gz');
  await page.waitForFunction(() => document.body.textContent.includes('Lat15-VGA8.psf.gz is open'));
  await page.focus(await page.$('#pixels') ? '#pixels' : '#editor');
  const started = Date.now();
  for (let i = 0; i < kEdits; i++) await page.keyboard.press('Space');
  const editing = (Date.now() - started) / 1000;
  // Let the last writes land.
  await new Promise((resolve) => setTimeout(resolve, 3000));
  const kept = await readyTimes(page);

  const counted = await indexedDbBytes(page);
  await browser.close();
  const onDisk = diskBytes(profile);
  // Started again, the database puts its log of writes into its tables:
  // what it then holds does not depend on when it last did so.
  const again = await puppeteer.launch({
    executablePath: '/usr/bin/chromium', headless: true, userDataDir: profile, args: ['--no-sandbox', '--headless'],
  });
  const reopened = await again.newPage();
  await reopened.goto('file://' + path.resolve(pagePath));
  await reopened.waitForSelector('body[data-ready=yes]');
  await again.close();
  const settled = diskBytes(profile);
  fs.rmSync(profile, { recursive: true, force: true });
  console.log(path.basename(pagePath) + ': ready ' + fresh.toFixed(0) + ' ms fresh, ' + kept.toFixed(0) +
              ' ms with ' + kEdits + ' edits kept; the edits took ' + editing.toFixed(1) + ' s; IndexedDB ' +
              counted + ' bytes counted, ' + onDisk + ' on the disk, ' + settled + ' once the browser started again');
}

async function indexedDbBytes(page) {
  const session = await page.createCDPSession();
  const { usageBreakdown } = await session.send('Storage.getUsageAndQuota', { origin: 'file://' });
  return usageBreakdown.find((use) => use.storageType === 'indexeddb').usage;
}

const diskBytes = (profile) => Number(childProcess.execFileSync('du', ['-sb', path.join(profile, 'Default', 'IndexedDB')])
  .toString().split('\t')[0]);

(async () => {
  for (const pagePath of process.argv.slice(2)) await measure(pagePath);
})().catch((error) => {
  console.log('FAIL - ' + error.stack);
  process.exit(1);
});
