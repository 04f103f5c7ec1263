// Drives the built page in Debian's Chromium through puppeteer-core, as a
// user would: open a real font and compare the canvas with the font as
// decoded here, edit a pixel with the mouse, undo and redo it, save in
// every format and open each again, patch stand-in game files by dropping
// them, through a folder of the browser's private file system and from a
// real folder dropped, attach to a copy of the built program as its own
// /A: does and refuse what is not one, take glyphs from a second font as
// the program's --merge does, turn glyphs about, open hostile files, keep
// two tabs' work apart, fail to store and say so, and check what a screen
// reader is told, where answers appear and how previews are drawn. No
// request may leave the machine. Usage: ZYR2_PROGRAM=zyr2font node
// web_test.js PAGE.html OUT_FOLDER [HOSTILE_FILE...]
'use strict';

const childProcess = require('child_process');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const zlib = require('zlib');
const puppeteer = require('puppeteer-core');

const [pagePath, outFolder, ...hostileFiles] = process.argv.slice(2);
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'zyr2font-web-'));
const downloads = path.join(work, 'downloads');
fs.mkdirSync(downloads);

const consoleFont = '/usr/share/consolefonts/Lat15-VGA8.psf.gz';
const marker = Buffer.from([0x03, 0x53, 0x46, 0x58, 0x08, 0x08, 0x00, 0x08]);
const exeLength = 615936;  // ZYR2.EXE of a known version
const exeOffset = 513588;  // where that version keeps its font

let passed = 0;
let failed = 0;
const leftMachine = [];

function check(condition, what) {
  if (!condition) throw new Error(what);
}

function pattern(length, seed) {
  const bytes = Buffer.alloc(length);
  for (let i = 0; i < length; i++) bytes[i] = (i * 13 + seed) & 0xff;
  return bytes;
}

// The test's own reading of the console font: PSF 1, the first 256 glyphs.
function consoleGlyphs() {
  const psf = zlib.gunzipSync(fs.readFileSync(consoleFont));
  check(psf[0] === 0x36 && psf[1] === 0x04 && psf[3] === 8, 'PSF 1 of 8x8');
  return psf.subarray(4, 4 + 2048);
}

function write(name, bytes) {
  const file = path.join(work, name);
  fs.writeFileSync(file, bytes);
  return file;
}

// The one bound on every wait: generous, for a machine busy with other
// work. No wait ends by time alone: each ends on what the page or the
// browser does, and the bound only turns a wait that never ends into a
// failure that says what was awaited.
const kBoundMs = 120000;

// Asks `condition` again and again until it gives something (true, or a
// value, which is returned); past the bound, fails naming `what` and with
// what `more` tells of the moment.
async function until(what, condition, more = async () => '') {
  const started = Date.now();
  for (;;) {
    const value = await condition();
    if (value) return value;
    if (Date.now() - started > kBoundMs) throw new Error('waited ' + kBoundMs / 1000 + ' s for ' + what + await more());
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

// The downloads the browser began, by name, in order, and which of them it
// finished; each is taken once.
const downloadsBegun = [];
const downloadsByGuid = new Map();

function watchDownloads(session) {
  session.on('Browser.downloadWillBegin', ({ guid, suggestedFilename }) => {
    const each = { name: suggestedFilename, done: false, taken: false };
    downloadsBegun.push(each);
    downloadsByGuid.set(guid, each);
  });
  session.on('Browser.downloadProgress', ({ guid, state }) => {
    if (state === 'completed' && downloadsByGuid.has(guid)) downloadsByGuid.get(guid).done = true;
  });
}

// The names of the downloads begun since `since` (a count of them before).
const downloadsSince = (since) => downloadsBegun.slice(since).map((each) => each.name);

// Waits until the browser says a download of that name is whole, and takes
// its bytes away.
async function downloaded(name) {
  const file = path.join(downloads, name);
  const each = await until('the download of ' + name + ' to be whole', () =>
    downloadsBegun.find((one) => one.name === name && one.done && !one.taken && fs.existsSync(file)),
  async () => '; the browser began ' + downloadsSince(0).join(', '));
  each.taken = true;
  const bytes = fs.readFileSync(file);
  fs.unlinkSync(file);
  return bytes;
}

// A condition on the page, and an element of it, waited for.
const untilPage = (page, what, condition, ...args) =>
  until(what, () => page.evaluate(condition, ...args), async () => '; the page said: ' + await messages(page));

const appears = (page, selector) => until(selector + ' on the page', () => page.$(selector),
  async () => '; the page said: ' + await messages(page));

// A tab whose own waits (a navigation, a reload) have the bound too.
async function newTab(owner) {
  const page = await owner.newPage();
  page.setDefaultTimeout(kBoundMs);
  return page;
}

const ready = (page) => appears(page, 'body[data-ready=yes]');

async function openPage(browser, url) {
  const page = await newTab(browser);
  await page.setViewport({ width: 1280, height: 800 });
  page.on('request', (request) => {
    const address = request.url();
    if (!/^(file|data|blob):/.test(address) && !address.startsWith('http://127.0.0.1:'))
      leftMachine.push(address);
  });
  page.on('pageerror', (error) => leftMachine.push('page error: ' + error.message));
  await page.goto(url);
  await ready(page);
  return page;
}

async function upload(page, selector, file) {
  const input = await page.$(selector);
  await input.uploadFile(...[].concat(file));
}

// What the page answered, in whichever part.
async function messages(page) {
  return page.$$eval('[data-answer]', (answers) => answers.map((element) => element.textContent).join('\n').trim());
}

// Empties the answer as the page itself does: emptied on the screen alone,
// the next redraw (the keeping's news come at any time) would bring the old
// one back, and it would pass for the answer awaited.
async function clearMessages(page) {
  await page.evaluate(() => {
    say('', '');
    render(state);
  });
}

// Gives a field a file, and waits until the page has said something of it.
// The page empties the field itself, so the same file can be given again.
async function open(page, file, field = '#open-file') {
  await clearMessages(page);
  await upload(page, field, file);
  await untilPage(page, 'an answer to ' + path.basename(file), () =>
    Array.from(document.querySelectorAll('[data-answer]')).some((e) => e.textContent !== ''));
  return messages(page);
}

async function ctrl(page, key) {
  await page.keyboard.down('Control');
  await page.keyboard.press(key);
  await page.keyboard.up('Control');
}

// Drops files, given as [name, bytes], on a part of the page.
async function drop(page, selector, files) {
  await page.evaluate((selector, files) => {
    const transfer = new DataTransfer();
    for (const [name, base64] of files)
      transfer.items.add(new File([Uint8Array.from(atob(base64), (c) => c.charCodeAt(0))], name));
    document.querySelector(selector).dispatchEvent(
      new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
  }, selector, files.map(([name, bytes]) => [name, bytes.toString('base64')]));
}

const waitFor = (page, text) => untilPage(page, 'an answer that says "' + text + '"', (text) =>
  Array.from(document.querySelectorAll('[data-answer]')).some((e) => e.textContent.includes(text)), text);

// Waits for an answer in a part of the page, and gives it.
const answerIn = (page, part) => untilPage(page, 'an answer in the ' + part + ' part', (part) =>
  document.querySelector(`[data-answer="${part}"]`).textContent, part);

// Saves the font in a format, and gives the bytes downloaded.
async function save(page, extension) {
  await page.$eval('#save-name', (input, name) => { input.value = name; }, 'saved' + extension);
  await page.select('#save-format', extension);
  await page.click('#save');
  return downloaded('saved' + extension);
}

// The font the grid draws: a pixel is ink where the canvas is dark.
async function gridFont(page) {
  const pixels = await page.$eval('#grid', (canvas) => {
    const { left, top, cell, scale } = canvas.dataset;
    const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height);
    const bytes = [];
    for (let code = 0; code < 256; code++) {
      for (let row = 0; row < 8; row++) {
        let byte = 0;
        for (let column = 0; column < 8; column++) {
          const x = Number(left) + (code % 16) * Number(cell) + column * Number(scale) + 1;
          const y = Number(top) + Math.floor(code / 16) * Number(cell) + row * Number(scale) + 1;
          if (data.data[(y * canvas.width + x) * 4] < 128) byte |= 0x80 >> column;
        }
        bytes.push(byte);
      }
    }
    return bytes;
  });
  return Buffer.from(pixels);
}

// Clicks the middle of a pixel of the editor.
async function clickEditor(page, row, column) {
  const editor = await page.$('#editor');
  await editor.scrollIntoView();
  const box = await editor.boundingBox();
  await page.mouse.click(box.x + (column + 0.5) * box.width / 8, box.y + (row + 0.5) * box.height / 8);
}

async function chooseGlyph(page, code, shift = false) {
  const grid = await page.$('#grid');
  await grid.scrollIntoView();
  if (shift) await page.keyboard.down('Shift');
  const box = await (await page.$('#grid')).boundingBox();
  const { left, top, cell, width } = await page.$eval('#grid', (c) => ({ ...c.dataset, width: c.width }));
  const ratio = box.width / width;
  await page.mouse.click(box.x + (Number(left) + (code % 16 + 0.5) * Number(cell)) * ratio,
                         box.y + (Number(top) + (Math.floor(code / 16) + 0.5) * Number(cell)) * ratio);
  if (shift) await page.keyboard.up('Shift');
}

// The program's own --merge of two font files, with its arguments after.
function merged(base, other, ...rest) {
  const out = path.join(work, 'merged.fnt');
  childProcess.execFileSync(process.env.ZYR2_PROGRAM, ['--merge', base, other, out, ...rest]);
  return fs.readFileSync(out);
}

// Reloads a page, leaving it when it asks first, as a user does.
async function reload(page) {
  const leave = (dialog) => dialog.accept();
  page.on('dialog', leave);
  await page.reload();
  page.off('dialog', leave);
  await ready(page);
}

// Whether leaving the page asks first: the question is answered "stay".
async function asksBeforeLeaving(page) {
  const asked = new Promise((resolve) => page.once('dialog', (dialog) => {
    resolve(dialog.type() === 'beforeunload');
    dialog.dismiss();
  }));
  const left = page.waitForNavigation().then(() => false, () => false);
  page.evaluate(() => location.reload()).catch(() => {});
  return Promise.race([asked, left]);
}

// Patches the game files chosen, and downloads each file patched that the
// page offers, one click each: what the patch said, and the files by name.
async function patchAndDownload(page) {
  await clearMessages(page);
  await page.$eval('#patch', (button) => button.click());
  const said = await answerIn(page, 'patch');
  const names = await page.$$eval('#game-downloads button', (buttons) => buttons.map((button) => button.textContent));
  const files = new Map();
  for (const [i, label] of names.entries()) {
    const name = label.replace(/^Download /, '');
    await page.$eval(`#game-downloads button[data-download="${i}"]`, (button) => button.click());
    await waitFor(page, 'Given to your browser to save: ' + names.slice(0, i + 1).join(', ').replace(/Download /g, ''));
    const now = await page.$eval('[data-answer=patch]', (element) => element.textContent);
    // What the patch said stays, with each file given so far named.
    check(now.startsWith(said) && names.slice(0, i + 1).every((each) => now.includes(each.replace(/^Download /, ''))),
          'after a download the patch part says: ' + now);
    files.set(name, await downloaded(name));
  }
  return { said, files };
}

// The name a screen reader is given for what has the focus: the element
// focused, or the cell it names as its active descendant.
async function focusedName(page) {
  const session = await page.createCDPSession();
  const { nodes } = await session.send('Accessibility.getFullAXTree');
  await session.detach();
  const property = (node, name) => (node.properties || []).find((p) => p.name === name);
  const focused = nodes.filter((node) => node.role.value !== 'RootWebArea' &&
                                         property(node, 'focused') && property(node, 'focused').value.value).pop();
  const active = property(focused, 'activedescendant');
  const id = active && active.value.relatedNodes[0].backendDOMNodeId;
  return (id ? nodes.find((node) => node.backendDOMNodeId === id) : focused).name.value;
}

// The names of the cells a screen reader is told are selected.
async function selectedNames(page) {
  const session = await page.createCDPSession();
  const { nodes } = await session.send('Accessibility.getFullAXTree');
  await session.detach();
  return nodes.filter((node) => node.role.value === 'gridcell' &&
    (node.properties || []).some((p) => p.name === 'selected' && p.value.value)).map((node) => node.name.value);
}

// Drops a folder of the disk (or several paths) on a part of the page, as
// the system does.
async function dropFolder(page, selector, paths) {
  const element = await page.$(selector);
  await element.scrollIntoView();
  const box = await element.boundingBox();
  const session = await page.createCDPSession();
  const at = { x: box.x + box.width / 2, y: box.y + 10, data: { items: [], files: [].concat(paths), dragOperationsMask: 1 } };
  for (const type of ['dragEnter', 'dragOver', 'drop']) await session.send('Input.dispatchDragEvent', { type, ...at });
  await session.detach();
}

// Whether a part's answer is said and within the visible area.
const answerInView = (page, part) => page.$eval(`[data-answer="${part}"]`, (element) => {
  const box = element.getBoundingClientRect();
  return element.textContent !== '' && box.top >= 0 && box.bottom <= window.innerHeight;
});

// The glyphs the 1x preview draws for the first characters of its text.
const previewGlyphs = (page, count) => page.$eval('#previews canvas', (canvas, count) => {
  const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
  const pixel = canvas.width / Number(canvas.dataset.pixels);
  const bytes = [];
  for (let i = 0; i < count * 8; i++) {
    let byte = 0;
    for (let column = 0; column < 8; column++) {
      const x = (4 + (i >> 3) * 8 + column) * pixel;
      const y = (4 + (i & 7)) * pixel;
      if (data[(y * canvas.width + x) * 4] > 128) byte |= 0x80 >> column;
    }
    bytes.push(byte);
  }
  return bytes;
}, count).then(Buffer.from);

// What IndexedDB holds for pages from the disk, in bytes.
async function storedBytes(page) {
  const session = await page.createCDPSession();
  const { usageBreakdown } = await session.send('Storage.getUsageAndQuota', { origin: 'file://' });
  await session.detach();
  return usageBreakdown.find((use) => use.storageType === 'indexeddb').usage;
}

// The program's --check --all in a code page (0: none named, the font's
// own), run in the test's folder (or the one given) on files named there:
// its lists as the page words them, its summary (after the line that says
// which code page and why, where none is named) and the codes it lists as
// blank.
function programCheck(codePage, font, texts, cwd = work) {
  const named = codePage ? ['--codepage', String(codePage)] : [];
  const run = childProcess.spawnSync(path.resolve(process.env.ZYR2_PROGRAM),
    ['--check', '--all', ...named, font, ...texts], { cwd, encoding: 'utf8' });
  const lines = run.stdout.split('\n').filter((line) => line !== '');
  const listed = lines.filter((line) => line.startsWith(' ')).map((line) =>
    line.trim().match(/^([\d,]+) {2}(.*?) {2}(at code (0x..), )?first at (.*)$/));
  return {
    listed: listed.map(([, count, name, , code, place]) => name + (code ? ', at code ' + code : '') + ', used ' +
                       count + (count === '1' ? ' time' : ' times') + ', first at ' + place),
    summary: lines.filter((line) => !line.startsWith(' ') && !line.endsWith(':')).join('\n'),
    blank: listed.filter((match) => match[4]).map((match) => parseInt(match[4], 16)),
    error: run.stderr.replace(/^ZYR 2 Font Replacer: /, '').trim(),
  };
}

// The uses of each code of code page 866 in UTF-8 texts, counted here
// through Node's own table of it; controls are no characters drawn.
function usesIn866(texts) {
  const codes = new Map();
  Array.from(new TextDecoder('ibm866').decode(Uint8Array.from({ length: 128 }, (_, i) => 128 + i)))
    .forEach((character, i) => codes.set(character, 128 + i));
  for (let code = 0x20; code < 0x7F; code++) codes.set(String.fromCharCode(code), code);
  const uses = new Array(256).fill(0);
  for (const text of texts) {
    for (const character of text) if (codes.has(character)) uses[codes.get(character)]++;
  }
  return uses;
}

// What the page's check shows: its lists' buttons, its summary, and the
// names a screen reader is given for the 256 glyphs.
async function pageCheck(page) {
  const session = await page.createCDPSession();
  const { nodes } = await session.send('Accessibility.getFullAXTree');
  await session.detach();
  return {
    listed: await page.$$eval('#check-lists li > button', (buttons) => buttons.map((button) => button.textContent)),
    summary: await page.$eval('#check-summary', (element) => element.textContent),
    cells: nodes.filter((node) => node.role.value === 'gridcell').slice(0, 256).map((node) => node.name.value),
  };
}

// The page's check against the program's on the same files: the same
// lists and summary, the grid naming the uses counted here and marking
// blank the codes the program lists so (space and no-break space aside).
async function sameCheck(page, codePage, font, texts, uses) {
  const program = programCheck(codePage, font, texts);
  const shown = await pageCheck(page);
  check(shown.listed.join('\n') === program.listed.join('\n'), 'the lists are not --check\'s:\n' +
        shown.listed.join('\n') + '\n--- the program ---\n' + program.listed.join('\n'));
  check(shown.summary === program.summary, 'the summary is ' + shown.summary + ', not ' + program.summary);
  shown.cells.forEach((name, code) => {
    const used = name.match(/, used ([\d,]+) times?$/);
    check(Number(used ? used[1].replace(/,/g, '') : 0) === uses[code], name + ' is not used ' + uses[code] + ' times');
    check(name.includes(', blank, used') === (program.blank.includes(code) || (used !== null && /space|U\+00A0/.test(name))),
          name + ' is marked otherwise than --check lists it');
  });
  return shown;
}

const glyphs = consoleGlyphs();
let edited = null;  // the console font with the pixel the mouse set

const steps = [
  ['a real font is opened and drawn glyph for glyph', async ({ page }) => {
    await open(page, consoleFont);
    check((await gridFont(page)).equals(glyphs), 'the grid is not the console font');
  }],
  ['a pixel is set by mouse, undone and redone, and saved exactly', async ({ page }) => {
    await chooseGlyph(page, 0x41);
    const before = (await gridFont(page))[0x41 * 8];
    await clickEditor(page, 0, 0);
    edited = Buffer.from(glyphs);
    edited[0x41 * 8] ^= 0x80;
    check((await gridFont(page)).equals(edited), 'the click did not set the pixel');
    await page.keyboard.down('Control');
    await page.keyboard.press('z');
    check((await gridFont(page))[0x41 * 8] === before, 'Ctrl+Z did not undo');
    await page.keyboard.press('y');
    await page.keyboard.up('Control');
    check((await save(page, '.fnt')).equals(edited), 'the saved .fnt is not the edit');
    // A download may be blocked or cancelled: it is never said saved, and
    // leaving still asks first.
    check((await messages(page)).includes('was given to your browser to save'), 'Save said: ' + await messages(page));
    check(await asksBeforeLeaving(page), 'a Save handed to the browser counts as saved');
  }],
  ['each format saved opens to the same font', async ({ page }) => {
    for (const extension of ['.psf', '.bdf', '.png', '.txt', '.ttf', '.otb', '.fnt']) {
      const file = write('round' + extension, await save(page, extension));
      await open(page, consoleFont);
      await open(page, file);
      check((await gridFont(page)).equals(edited), extension + ' came back other');
    }
  }],
  ['the .ttf saved is the program\'s, byte for byte', async ({ page }) => {
    const program = path.join(work, 'program');
    fs.mkdirSync(program, { recursive: true });
    childProcess.execFileSync(process.env.ZYR2_PROGRAM,
                              ['--convert', write('edited.fnt', edited), path.join(program, 'saved.ttf')]);
    check((await save(page, '.ttf')).equals(fs.readFileSync(path.join(program, 'saved.ttf'))),
          'the page\'s .ttf is not the program\'s');
  }],
  ['without a folder, dropped game files come back patched, and another length is reported', async ({ page }) => {
    // Where the browser has no folder picker, or refuses it, the page says
    // so and points to the files.
    for (const [picker, said] of [['none', 'does not let pages open folders'], ['refused', 'under Program Files or Windows']]) {
      await page.evaluate((picker) => {
        window.showDirectoryPicker = picker === 'none' ? undefined
          : async () => { throw new DOMException('refused here', 'SecurityError'); };
      }, picker);
      await page.click('#pick-folder');
      await waitFor(page, said);
    }
    // Dropped on the game's part of the page, as a user drops them.
    await drop(page, '#patch-section', [['ZYR2.EXE', pattern(exeLength, 1)], ['BRANVEL.EXE', pattern(1000, 2)]]);
    await appears(page, '#original:not([hidden])');
    await page.click('#save-original');
    check((await downloaded('original.fnt')).equals(pattern(exeLength, 1).subarray(exeOffset, exeOffset + 2048)),
          'original.fnt is not the game\'s font');
    // Each file patched is a download of the user's own click, and the
    // page never says it was saved, nor counts it as saved.
    const begun = downloadsBegun.length;
    await clearMessages(page);
    await page.click('#patch');
    await waitFor(page, 'ZYR2.EXE is patched here, not yet in the game');
    const said = await messages(page);
    check(said.includes('BRANVEL.EXE File size: 1000') && said.includes('patched only once') && !said.includes('saved'),
          'the patch said: ' + said);
    const { files } = await patchAndDownload(page);
    // A download the patch began itself would have begun before the one
    // clicked, which is whole by now.
    check(downloadsSince(begun).join() === 'ZYR2.EXE', 'a download came unasked: ' + downloadsSince(begun));
    const expected = pattern(exeLength, 1);
    edited.copy(expected, exeOffset);
    check([...files.keys()].join() === 'ZYR2.EXE', 'the downloads offered are ' + [...files.keys()]);
    check(files.get('ZYR2.EXE').equals(expected), 'ZYR2.EXE is not patched at its offset');
    check(await asksBeforeLeaving(page), 'the patch handed back as a download counts as saved');
    // Once the font changes, files patched with it as it was are not offered.
    await clickEditor(page, 7, 7);
    check(await page.$eval('#game-downloads', (list) => list.children.length === 0) &&
          await page.$eval('#game-downloads-stale', (line) => !line.hidden), 'files of a font changed since are offered');
    await ctrl(page, 'z');
    await appears(page, '#game-downloads button');
    // A game file picked is patched as it is at the patch: one changed
    // since it was picked is not patched, and the page says why.
    const picked = write('ZYR2.EXE', pattern(exeLength, 5));
    await upload(page, '#game-files', picked);
    await appears(page, '#game-downloads:empty');
    fs.writeFileSync(picked, pattern(597504, 5));
    await clearMessages(page);
    await page.click('#patch');
    await waitFor(page, 'ZYR2.EXE changed since it was chosen');
    check(await page.$eval('#game-downloads', (list) => list.children.length === 0), 'a file changed since was patched');
  }],
  ['a copy of the program, renamed, gets the font as /A: attaches it; a font, a game file or another program does not', async ({ page }) => {
    const begun = downloadsBegun.length;
    const game = pattern(exeLength, 6);
    const refused = [
      [consoleFont, 'is not a build of this program'],
      [write('BRANVEL.exe', game), "is one of the game's files"],
      [write('copy.exe', game), "is as long as the game's ZYR2.EXE or BRANVEL.EXE"],
      [write('mz.exe', Buffer.concat([Buffer.from('MZ'), pattern(3000, 3)])), 'is not a build of this program'],
      ['/bin/true', 'is not a build of this program'],
    ];
    for (const [file, said] of refused) {
      check((await open(page, file, '#attach-program')).includes(said), path.basename(file) + ' was not refused: ' + said);
    }
    // The game folder's files dropped together: none is the program.
    await drop(page, '#attach-section', [['ZYR2.EXE', game], ['ZYR2.DOS', pattern(1000, 7)]]);
    await waitFor(page, 'None of the 2 files given is zyr2font.exe or zyr2font');
    // The program itself attaches the same font to a copy of itself.
    const copy = write('zyr2font-copy', fs.readFileSync(process.env.ZYR2_PROGRAM));
    fs.chmodSync(copy, 0o755);
    childProcess.execFileSync(copy, ['/A:' + write('edited.fnt', edited)]);
    await upload(page, '#attach-program', write('renamed.bin', fs.readFileSync(process.env.ZYR2_PROGRAM)));
    check((await downloaded('renamed.bin')).equals(fs.readFileSync(copy)), 'the page did not attach as /A: does');
    await waitFor(page, 'renamed.bin that carries the font was given to your browser to save');
    // A refused file handed back would have begun before this download.
    check(downloadsSince(begun).join() === 'renamed.bin', 'a refused file came back: ' + downloadsSince(begun));
  }],
  ['the work comes back after a reload, undo history too, and leaving unsaved asks first', async ({ page }) => {
    await clickEditor(page, 1, 1);
    const dialogs = [];
    const accept = (dialog) => { dialogs.push(dialog.type()); dialog.accept(); };
    page.on('dialog', accept);
    // Reloaded by the page itself, as a user does: a reload from outside
    // does not ask.
    await Promise.all([page.waitForNavigation(), page.evaluate(() => location.reload())]);
    page.off('dialog', accept);
    await ready(page);
    check(dialogs.includes('beforeunload'), 'the page did not ask before reloading: ' + dialogs);
    check((await messages(page)).includes('is back, as you left it'), 'no word of the work kept');
    const twice = Buffer.from(edited);
    twice[0x41 * 8 + 1] ^= 0x40;
    check((await gridFont(page)).equals(twice), 'the edit did not come back');
    await ctrl(page, 'z');
    check((await gridFont(page)).equals(edited), 'the undo history did not come back');
  }],
  ['another file, a game file on the wrong part and a code page are each undone', async ({ page }) => {
    check((await open(page, consoleFont)).includes('in place of yours'), 'no word of the font replaced');
    await ctrl(page, 'z');
    check((await gridFont(page)).equals(edited), 'Ctrl+Z did not bring back the font before the open');
    const game = pattern(exeLength, 4);
    await drop(page, '#save-section', [['ZYR2.EXE', game]]);
    await waitFor(page, "ZYR2.EXE's own font is open in place of yours; Undo brings yours back.");
    check((await gridFont(page)).equals(game.subarray(exeOffset, exeOffset + 2048)), 'not the game\'s font');
    await ctrl(page, 'z');
    check((await gridFont(page)).equals(edited), 'Undo did not bring back the font before the drop');
    // A hex font's Zhe is at 0x86 in code page 866, and nowhere in 437.
    const zhe = '0416:' + 'DB5A3C183C5ADB00\n';
    const hexFont = write('zhe.hex', '0041:' + '183C66667E666600\n' + zhe);
    await open(page, hexFont);
    check((await open(page, hexFont)).includes('1 of 256 codes'), 'the same file did not open twice');
    await page.select('#code-page', '866');
    await waitFor(page, 'placed again, by code page 866');
    check((await gridFont(page)).subarray(0x86 * 8, 0x87 * 8).equals(Buffer.from('DB5A3C183C5ADB00', 'hex')),
          'Zhe is not at 0x86 after choosing 866');
    await ctrl(page, 'z');
    check((await gridFont(page))[0x86 * 8] === 0 && await page.$eval('#code-page', (s) => s.value) === '0',
          'Undo did not take back the code page');
    for (let i = 0; i < 2; i++) await ctrl(page, 'z');
    check((await gridFont(page)).equals(edited), 'Undo did not go back to the edited font');
    // Glyphs edited since the file was opened are not replaced unasked: the
    // page asks, keeps them if told so, and places again only when told.
    await open(page, hexFont);
    await chooseGlyph(page, 0x30);
    await clickEditor(page, 0, 0);
    const drawn = await gridFont(page);
    await page.select('#code-page', '866');
    await waitFor(page, 'You changed glyphs of zhe.hex since it was opened');
    check((await gridFont(page)).equals(drawn) && await page.$eval('#code-page', (s) => s.value) === '0',
          'choosing a code page replaced the glyphs edited, unasked');
    await page.click('#keep-glyphs');
    await waitFor(page, 'Your glyphs are kept');
    check((await gridFont(page)).equals(drawn) && await page.$eval('#code-page', (s) => s.value) === '866',
          'the glyphs were not kept, or the code page not chosen');
    await page.select('#code-page', '737');
    await appears(page, '#asking:not([hidden])');
    await page.click('#place-again');
    await waitFor(page, 'placed again, by code page 737');
    const out = path.join(work, 'zhe737.fnt');
    childProcess.execFileSync(process.env.ZYR2_PROGRAM, ['--convert', '--codepage', '737', hexFont, out], { stdio: 'pipe' });
    check((await gridFont(page)).equals(fs.readFileSync(out)), 'placed again by 737 is not --convert --codepage 737');
    await ctrl(page, 'z');
    check((await gridFont(page)).equals(drawn), 'Undo did not bring back the glyphs edited');
    for (let i = 0; i < 3; i++) await ctrl(page, 'z');
    check((await gridFont(page)).equals(edited), 'Undo did not go back to the edited font');
  }],
  ['glyphs taken from a second font are the program\'s --merge, byte for byte', async ({ page }) => {
    const half = Buffer.from(glyphs);
    half.fill(0, 1024);
    const base = write('half.fnt', half);
    const otherFont = write('other.psf', fs.readFileSync(path.join(work, 'round.psf')));
    await open(page, base);
    await open(page, otherFont, '#other-file');
    await chooseGlyph(page, 0x80);
    await chooseGlyph(page, 0xAF, true);
    await page.click('#take-selected');
    check((await gridFont(page)).equals(merged(base, otherFont, '--codes', '0x80-0xAF')),
          'the codes selected are not --merge --codes 0x80-0xAF');
    await ctrl(page, 'z');
    check((await gridFont(page)).equals(half), 'Undo did not take the glyphs back');
    await page.click('#take-blank');
    check((await gridFont(page)).equals(merged(base, otherFont)), 'the blank codes are not --merge');
  }],
  ['each glyph operation on a known glyph, and its undo; a range copied and pasted', async ({ page }) => {
    // An L with a dot at its top right, and each operation as drawn by hand.
    const shape = [0x81, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0xFE];
    const results = [
      [0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0xFE, 0], [0, 0x81, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80],
      [0x02, 0, 0, 0, 0, 0, 0, 0xFC], [0x40, 0x40, 0x40, 0x40, 0x40, 0x40, 0x40, 0x7F],
      [0x81, 1, 1, 1, 1, 1, 1, 0x7F], [0xFE, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x81],
      [0xFF, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x01], [0x7E, 0x7F, 0x7F, 0x7F, 0x7F, 0x7F, 0x7F, 0x01],
      [0, 0, 0, 0, 0, 0, 0, 0], [0xC1, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xFF],
    ];
    const shaped = Buffer.from(glyphs);
    Buffer.from(shape).copy(shaped, 0x41 * 8);
    await open(page, write('shape.fnt', shaped));
    await chooseGlyph(page, 0x41);
    for (const [number, expected] of results.entries()) {
      await page.click(`button[data-transform="${number}"]`);
      const after = await gridFont(page);
      check(after.subarray(0x41 * 8, 0x42 * 8).equals(Buffer.from(expected)), 'operation ' + number + ' gave ' +
            after.subarray(0x41 * 8, 0x42 * 8).toString('hex'));
      check(after.subarray(0, 0x41 * 8).equals(shaped.subarray(0, 0x41 * 8)), 'operation ' + number + ' touched another glyph');
      await ctrl(page, 'z');
      check((await gridFont(page)).equals(shaped), 'Undo did not take back operation ' + number);
    }
    await chooseGlyph(page, 0x30);
    await chooseGlyph(page, 0x39, true);
    await ctrl(page, 'c');
    await chooseGlyph(page, 0xF8);
    await ctrl(page, 'v');
    const pasted = Buffer.from(shaped);
    shaped.copy(pasted, 0xF8 * 8, 0x30 * 8, 0x38 * 8);
    check((await gridFont(page)).equals(pasted), 'the range was not pasted from 0xF8 to the end');
  }],
  ['a file over 16 MiB is refused unread, in bounded memory', async ({ page }) => {
    const before = await gridFont(page);
    const huge = path.join(work, 'huge.bin');
    fs.closeSync(fs.openSync(huge, 'w'));
    fs.truncateSync(huge, 1 << 30);
    const started = Date.now();
    const said = await open(page, huge);
    const seconds = (Date.now() - started) / 1000;
    check(said === 'huge.bin is too long to be an 8x8 font.', 'not the core\'s sentence: ' + JSON.stringify(said));
    // Unread: a core that had read it would hold a gigabyte.
    const afterHuge = await page.evaluate(() => Core.memoryBytes());
    check(afterHuge <= 40 * 1024 * 1024, 'the core grew to ' + afterHuge + ' bytes for a refused file');
    console.log('# a 1 GB file refused in ' + seconds + ' s');
    // The most the core reads: 16 MiB, and a gzip file of 16 MB that
    // inflates to as much again.
    await open(page, write('cap.bin', pattern(16 * 1024 * 1024, 5)));
    const noise = Buffer.alloc(16000000);
    for (let i = 0; i < noise.length; i += 4) noise.writeUInt32LE((Math.random() * 2 ** 32) >>> 0, i);
    await open(page, write('noise.gz', zlib.gzipSync(noise, { level: 1 })));
    const bytes = await page.evaluate(() => Core.memoryBytes());
    check(bytes <= 40 * 1024 * 1024, 'the core grew to ' + bytes + ' bytes');
    console.log('# the core\'s memory after 16 MiB files: ' + bytes + ' bytes');
    check((await gridFont(page)).equals(before), 'a refused file changed the font');
  }],
  ['hostile files each get a message, and the page goes on', async ({ page }) => {
    const cut = (file, length) => fs.readFileSync(file).subarray(0, length);
    const files = [
      write('cut.psf.gz', cut(consoleFont, 300)),
      write('cut.png', cut(path.join(work, 'round.png'), 100)),
      write('empty.fnt', Buffer.alloc(0)),
      write('tables.ttf', Buffer.concat([Buffer.from([0, 1, 0, 0, 0, 9]), Buffer.alloc(200, 0x7f)])),
      write('noise.bin', pattern(3000, 7)),
      ...hostileFiles,
    ];
    for (const file of files) {
      const said = await open(page, file);
      check(said.length > 0, path.basename(file) + ' got no message');
    }
    await open(page, consoleFont);
    check((await gridFont(page)).equals(glyphs), 'the page stopped working');
  }],
  ['a game folder is patched in place through the File System Access API', async ({ server }) => {
    const page = await openPage(server.browser, server.url);
    await open(page, consoleFont);
    const said = await page.evaluate(async (exeLength, exeOffset) => {
      const make = (length, seed) => Uint8Array.from({ length }, (_, i) => (i * 13 + seed) & 0xff);
      const root = await navigator.storage.getDirectory();
      const folder = await root.getDirectoryHandle('game', { create: true });
      for (const [name, bytes] of [['zyr2.exe', make(exeLength, 1)], ['ZYR2.DOS', make(5000, 2)]]) {
        const writable = await (await folder.getFileHandle(name, { create: true })).createWritable();
        await writable.write(bytes);
        await writable.close();
      }
      window.showDirectoryPicker = async () => folder;
      return exeOffset;
    }, exeLength, exeOffset);
    check(said === exeOffset, 'the private file system was not set up');
    await page.click('#pick-folder');
    await appears(page, '#patch:not([hidden])');
    await page.click('#patch');
    await waitFor(page, 'patched in the game folder');
    // Patching again changes nothing, and says so.
    await clearMessages(page);
    await page.click('#patch');
    await waitFor(page, 'zyr2.exe already holds this font.');
    const result = await page.evaluate(async () => {
      const folder = await (await navigator.storage.getDirectory()).getDirectoryHandle('game');
      const read = async (name) => Array.from(new Uint8Array(await (await (await folder.getFileHandle(name)).getFile()).arrayBuffer()));
      return { exe: await read('zyr2.exe'), dos: await read('ZYR2.DOS'),
               said: document.querySelector('[data-answer=patch]').textContent };
    });
    const expected = pattern(exeLength, 1);
    glyphs.copy(expected, exeOffset);
    check(Buffer.from(result.exe).equals(expected), 'zyr2.exe changed other than the font range');
    check(Buffer.from(result.dos).equals(pattern(5000, 2)), 'ZYR2.DOS of another length was changed');
    check(result.said.includes('ZYR2.DOS File size: 5000'), 'no word of ZYR2.DOS: ' + result.said);
    // The files as they are at each patch: zyr2.exe put back as it was
    // outside the page is patched again; replaced by another version, of
    // another length, it is patched where that version keeps its font.
    for (const [length, offset] of [[exeLength, exeOffset], [597504, 497968]]) {
      await page.evaluate(async (length) => {
        const folder = await (await navigator.storage.getDirectory()).getDirectoryHandle('game');
        const writable = await (await folder.getFileHandle('zyr2.exe')).createWritable();
        await writable.write(Uint8Array.from({ length }, (_, i) => (i * 13 + 1) & 0xff));
        await writable.close();
      }, length);
      await clearMessages(page);
      await page.click('#patch');
      await waitFor(page, 'zyr2.exe is patched in the game folder');
      const again = pattern(length, 1);
      glyphs.copy(again, offset);
      check(Buffer.from(await page.evaluate(async () => {
        const folder = await (await navigator.storage.getDirectory()).getDirectoryHandle('game');
        return Array.from(new Uint8Array(await (await (await folder.getFileHandle('zyr2.exe')).getFile()).arrayBuffer()));
      })).equals(again), 'zyr2.exe of ' + length + ' bytes changed outside the page is not patched at ' + offset);
    }
    await page.close();
  }],
  ['a game file that cannot be written is said so in the page\'s words, and is as it was', async ({ server }) => {
    const page = await openPage(server.browser, server.url);
    await open(page, consoleFont);
    const game = pattern(exeLength, 21);
    await page.evaluate(async (bytes) => {
      const folder = await (await navigator.storage.getDirectory()).getDirectoryHandle('locked', { create: true });
      const writable = await (await folder.getFileHandle('ZYR2.EXE', { create: true })).createWritable();
      await writable.write(Uint8Array.from(atob(bytes), (c) => c.charCodeAt(0)));
      await writable.close();
      window.showDirectoryPicker = async () => folder;
    }, game.toString('base64'));
    await page.click('#pick-folder');
    await appears(page, '#patch:not([hidden])');
    const onDisk = async () => Buffer.from(await page.evaluate(async () => {
      const folder = await (await navigator.storage.getDirectory()).getDirectoryHandle('locked');
      return Array.from(new Uint8Array(await (await (await folder.getFileHandle('ZYR2.EXE')).getFile()).arrayBuffer()));
    }));
    // The file as the browser keeps it on the disk, and its folder, made
    // immutable: neither the file nor a copy beside it can be written.
    const profile = server.browser.process().spawnargs.find((arg) => arg.startsWith('--user-data-dir=')).split('=')[1];
    const kept = childProcess.execFileSync('find', [profile, '-type', 'f', '-size', exeLength + 'c'], { encoding: 'utf8' })
      .split('\n').filter((file) => file && fs.readFileSync(file).equals(game));
    const locked = kept.length === 1 ? [kept[0], path.dirname(kept[0])] : [];
    const chattr = (flag) => childProcess.spawnSync('chattr', [flag, ...locked], { encoding: 'utf8' });
    // The browser's words, given where the page injects a failure: a
    // known error is said in the page's words alone.
    const raw = 'words of the browser';
    const rows = [
      ['immutable', 'could not be written: it may be read-only (clear Read-only in its Properties), or in use by another program'],
      ['InvalidStateError', 'it may be read-only (clear Read-only in its Properties), or in use by another program, as when the game is running'],
      ['NoModificationAllowedError', 'it may be read-only'],
      ['NotReadableError', 'it could not be read first'],
      ['NotAllowedError', 'let the page edit its files'],
      ['NotFoundError', 'it is no longer where it was chosen'],
      ['QuotaExceededError', 'the disk is full'],
      ['EncodingError', 'could not be written. It is as it was. The browser said: ' + raw],
    ];
    try {
      for (const [failure, words] of rows) {
        if (failure === 'immutable') {
          const set = locked.length === 2 ? chattr('+i') : { status: 1, stderr: 'the file is not found on the disk' };
          if (set.status !== 0) {
            console.log('# skipped an immutable game file: chattr +i failed here (' + set.stderr.trim() + ')');
            continue;
          }
        }
        await page.evaluate((failure, raw) => {
          const close = FileSystemWritableFileStream.prototype.close;
          window.closeAsBrowser = window.closeAsBrowser || close;
          FileSystemWritableFileStream.prototype.close = failure === 'immutable' ? window.closeAsBrowser
            : async function () { throw new DOMException(raw, failure); };
        }, failure, raw);
        await clearMessages(page);
        await page.click('#patch');
        await waitFor(page, 'ZYR2.EXE could not be written');
        const said = await page.$eval('[data-answer=patch]', (element) => element.textContent);
        if (failure === 'immutable') chattr('-i');
        check(said.includes(words) && (failure !== 'NotFoundError') === said.includes('It is as it was.') &&
              said.includes(raw) === (failure === 'EncodingError'),
              failure + ': the page said ' + said);
        check(!/interface object|underlying filesystem/.test(said), failure + ': the browser\'s words came first: ' + said);
        check((await onDisk()).equals(game), failure + ': ZYR2.EXE changed');
      }
    } finally {
      if (locked.length === 2) chattr('-i');
    }
    await page.close();
  }],
  ['each tab keeps its own work: two tabs, each reloaded, each with its own work and undo history', async ({ page, browser }) => {
    const other = await openPage(browser, page.url());
    await open(page, consoleFont);
    await chooseGlyph(page, 0x41);
    await clickEditor(page, 2, 2);
    await open(other, '/usr/share/consolefonts/Greek-VGA8.psf.gz');
    await chooseGlyph(other, 0x42);
    await clickEditor(other, 3, 3);
    const works = [[page, await gridFont(page), 'Lat15-VGA8'], [other, await gridFont(other), 'Greek-VGA8']];
    check(!works[0][1].equals(works[1][1]), 'the two tabs hold the same font');
    for (const [tab, font, name] of works) {
      await reload(tab);
      check((await messages(tab)).includes('Your work on ' + name), name + '\'s tab said: ' + await messages(tab));
      check((await gridFont(tab)).equals(font), name + '\'s tab came back with other work');
      await ctrl(tab, 'z');
      check(!(await gridFont(tab)).equals(font), name + '\'s undo history did not come back');
      await ctrl(tab, 'y');
    }
    await other.close();
  }],
  ['storage that fails is said at once, in view, and no work is claimed kept after a reload', async ({ browser, url }) => {
    // A storage of its own, whose quota is a few bytes from the start.
    const context = await browser.createBrowserContext();
    const page = await newTab(context);
    const session = await page.createCDPSession();
    await session.send('Storage.overrideQuotaForOrigin', { origin: 'file://', quotaSize: 16 });
    await page.goto(url);
    await ready(page);
    await open(page, consoleFont);
    await untilPage(page, 'word that the storage is full', () =>
      document.getElementById('keeping').textContent.includes('storage for this page is full'));
    check(await page.$eval('#keeping', (bar) => bar.getBoundingClientRect().bottom <= window.innerHeight),
          'the failure is said out of sight');
    await reload(page);
    const said = await messages(page);
    check(!said.includes('as you left it') && said.includes('were not kept'), 'after the reload the page said: ' + said);
    await context.close();
  }],
  ['the work is kept again after the browser clears the page\'s storage, and comes back after a reload', async ({ browser, url }) => {
    const context = await browser.createBrowserContext();
    const page = await newTab(context);
    await page.goto(url);
    await ready(page);
    // Everything the foot of the screen says, from here on.
    await page.evaluate(() => {
      window.keepingSaid = [];
      new MutationObserver(() => window.keepingSaid.push(document.getElementById('keeping').textContent))
        .observe(document.getElementById('keeping'), { childList: true, characterData: true, subtree: true });
    });
    // The steps kept; none where there is no database (looking makes none).
    const steps = () => page.evaluate(() => new Promise((resolve) => {
      const opening = indexedDB.open('zyr2font');
      opening.onupgradeneeded = () => opening.transaction.abort();
      opening.onerror = () => resolve(0);
      opening.onsuccess = () => {
        const db = opening.result;
        db.transaction('steps').objectStore('steps').count().onsuccess = (e) => {
          db.close();
          resolve(e.target.result);
        };
      };
    }));
    await open(page, consoleFont);
    await chooseGlyph(page, 0x41);
    await clickEditor(page, 2, 2);
    await until('the two steps to be kept', async () => await steps() >= 2);
    const session = await page.createCDPSession();
    await session.send('Storage.clearDataForOrigin', { origin: 'file://', storageTypes: 'all' });
    await untilPage(page, 'word that the browser cleared the work', () =>
      document.getElementById('keeping').textContent.includes('cleared the work it kept'));
    await clickEditor(page, 3, 3);
    const font = await gridFont(page);
    await until('the three steps to be kept', async () => await steps() >= 3);
    const said = await page.evaluate(() => window.keepingSaid);
    check(!said.some((text) => /not being kept|keeps your work again/.test(text)) &&
          said.filter((text) => text.includes('cleared')).length >= 1, 'the foot of the screen said: ' + said.join(' | '));
    await reload(page);
    check((await messages(page)).includes('is back, as you left it'), 'after the reload the page said: ' + await messages(page));
    check((await gridFont(page)).equals(font), 'the work with the later edit did not come back');
    for (let i = 0; i < 3; i++) await ctrl(page, 'z');
    check((await gridFont(page)).every((byte) => byte === 0), 'the undo history did not come back whole');
    // A newer page upgrading the database: this one lets it, and then
    // says it keeps the work no more, and why.
    const newer = await newTab(context);
    await newer.goto(url);
    await ready(newer);
    await newer.evaluate(() => new Promise((resolve, reject) => {
      const opening = indexedDB.open('zyr2font', 3);
      opening.onsuccess = () => resolve();
      opening.onerror = () => reject(opening.error);
    }));
    await untilPage(page, 'word of a newer version of the page', () =>
      document.getElementById('keeping').textContent.includes('a newer version of this page'));
    const newerSaid = await page.$eval('#keeping', (bar) => bar.textContent);
    check(!newerSaid.includes('open in another tab') && newerSaid.includes('newer version to take up'),
          'of the newer page the page said: ' + newerSaid);
    await context.close();
  }],
  ['twenty opens of one file keep one copy of it, and IndexedDB grows by less than 3 MB; of twenty files, by 8 MiB more', async ({ browser, url }) => {
    const page = await openPage(browser, url);
    const files = () => page.evaluate(() => new Promise((resolve) => {
      indexedDB.open('zyr2font').onsuccess = (event) => {
        event.target.result.transaction('files').objectStore('files').count().onsuccess = (e) => resolve(e.target.result);
      };
    }));
    const [filesBefore, bytesBefore] = [await files(), await storedBytes(page)];
    // Of bytes that no compression makes smaller.
    const dos = write('ZYR2.DOS', require('crypto').randomBytes(945979));
    for (let i = 0; i < 20; i++) await open(page, dos);
    await reload(page);
    const copies = await files() - filesBefore;
    const bytes = await storedBytes(page) - bytesBefore;
    check(copies === 1, copies + ' copies of the file are kept');
    check(bytes < 3 * 1024 * 1024, 'IndexedDB grew by ' + bytes + ' bytes');
    console.log('# IndexedDB after 20 opens of a 945,979-byte file: ' + bytes + ' bytes more');
    // Twenty different files: Undo keeps 8 MiB of the files opened before
    // at most, says so once, and the latest opens can still be undone.
    const doses = [];
    const said = [];
    for (let i = 0; i < 20; i++) {
      const folder = path.join(work, 'dos' + i);
      fs.mkdirSync(folder);
      doses.push(path.join(folder, 'ZYR2.DOS'));
      fs.writeFileSync(doses[i], require('crypto').randomBytes(945979));
      said.push(await open(page, doses[i]));
    }
    const letGo = said.filter((text) => text.includes('Undo keeps 8 MiB of the files opened before at most')).length;
    check(letGo === 1, 'the files let go were told of ' + letGo + ' times');
    await reload(page);
    const different = await storedBytes(page) - bytesBefore;
    console.log('# IndexedDB after 20 opens of different 945,979-byte files: ' + different + ' bytes more');
    // The 8 MiB, the file open, and what the database adds, as for one
    // file above; without the bound it grows by twenty files.
    check(different < 14 * 1024 * 1024, 'IndexedDB grew by ' + different + ' bytes');
    // Of this tab's work: the file open, and the eight before it that fit in 8 MiB.
    const kept = await page.evaluate(() => new Promise((resolve) => {
      const id = sessionStorage.getItem('zyr2font-work');
      indexedDB.open('zyr2font').onsuccess = (event) => {
        event.target.result.transaction('files').objectStore('files').getAll(IDBKeyRange.bound([id], [id, []]))
          .onsuccess = (e) => resolve(e.target.result.length);
      };
    }));
    check(kept === 9, kept + ' files of the work are kept');
    for (let back = 1; back <= 8; back++) {
      await ctrl(page, 'z');
      const out = path.join(work, 'dos.fnt');
      childProcess.execFileSync(process.env.ZYR2_PROGRAM, ['--convert', doses[19 - back], out], { stdio: 'pipe' });
      check((await gridFont(page)).equals(fs.readFileSync(out)), 'Undo ' + back + ' did not bring back ' + doses[19 - back]);
    }
    await page.close();
  }],
  ['a font dropped on the other font\'s part is the other font; its code page chosen after is --merge --codepage 866', async ({ page }) => {
    const half = Buffer.from(glyphs);
    half.fill(0, 1024);
    const base = write('half.fnt', half);
    const cyrillic = '/usr/share/consolefonts/CyrSlav-VGA8.psf.gz';
    await open(page, base);
    await page.select('#code-page', '866');
    await drop(page, '#take-selected', [['CyrSlav-VGA8.psf.gz', fs.readFileSync(cyrillic)]]);
    await waitFor(page, 'CyrSlav-VGA8.psf.gz is open to take glyphs from');
    check((await gridFont(page)).equals(half), 'the font dropped on the other font\'s part replaced the work');
    await page.select('#other-code-page', '866');
    await waitFor(page, 'placed again, by code page 866');
    await chooseGlyph(page, 0x80);
    await chooseGlyph(page, 0xAF, true);
    await page.click('#take-selected');
    const out = path.join(work, 'cyrillic.fnt');
    childProcess.execFileSync(process.env.ZYR2_PROGRAM,
      ['--merge', '--codepage', '866', base, cyrillic, out, '--codes', '0x80-0xAF'], { stdio: 'pipe' });
    const expected = fs.readFileSync(out);
    check((await gridFont(page)).equals(expected), 'the codes taken are not --merge --codepage 866');
    await page.$eval('#preview-text', (input) => {
      input.value = 'АБВГДЕЖЗ';
      input.dispatchEvent(new Event('input'));
    });
    check((await previewGlyphs(page, 8)).equals(expected.subarray(0x80 * 8, 0x88 * 8)), 'the preview does not show АБВГДЕЖЗ');
  }],
  ['of several fonts dropped on part 1 or on the other font\'s part, the first is opened and the others are named', async ({ page }) => {
    const before = await gridFont(page);
    const greek = fs.readFileSync('/usr/share/consolefonts/Greek-VGA8.psf.gz');
    const cases = [
      ['#open-section', [['edited.fnt', edited], ['Greek-VGA8.psf.gz', greek]],
       'edited.fnt is open in place of yours', 'Greek-VGA8.psf.gz was not opened: drop one font at a time.'],
      ['#other-part', [['Greek-VGA8.psf.gz', greek], ['edited.fnt', edited], ['noise.bin', pattern(3000, 7)]],
       'Greek-VGA8.psf.gz is open to take glyphs from', 'edited.fnt, noise.bin were not opened: drop one font at a time.'],
    ];
    for (const [selector, files, opened, left] of cases) {
      await clearMessages(page);
      await drop(page, selector, files);
      await waitFor(page, opened);
      check((await messages(page)).includes(left), 'no word of the fonts left: ' + await messages(page));
    }
    check((await gridFont(page)).equals(edited), 'the first font dropped on part 1 is not open');
    await ctrl(page, 'z');
    check((await gridFont(page)).equals(before), 'Undo did not take back the font dropped');
  }],
  ['the answer to taking glyphs, a wrong drop, patching and attaching is in view, 1280 and 390 px wide', async ({ page }) => {
    for (const width of [1280, 390]) {
      await page.setViewport({ width, height: 800 });
      const actions = [
        ['other', () => page.click('#take-blank')],
        ['preview', () => drop(page, '#previews', [['noise.bin', pattern(3000, 7)]])],
        ['patch', async () => {
          await drop(page, '#patch-section', [['ZYR2.EXE', pattern(exeLength, 1)]]);
          await waitFor(page, 'Found: ZYR2.EXE');
          await page.evaluate(() => window.scrollTo(0, 0));
          await patchAndDownload(page);
          await page.evaluate(() => window.scrollTo(0, 0));
          await page.$eval('#game-downloads button', (button) => button.click());
          await downloaded('ZYR2.EXE');
        }],
        ['attach', () => drop(page, '#attach-section', [['mz.exe', pattern(3000, 3)]])],
      ];
      for (const [part, action] of actions) {
        await page.evaluate(() => window.scrollTo(0, 0));
        await clearMessages(page);
        await action();
        await answerIn(page, part);
        check(await answerInView(page, part), 'the answer in the ' + part + ' part is out of view at ' + width + ' px');
      }
    }
    await page.setViewport({ width: 1280, height: 800 });
  }],
  ['a screen reader is told the glyph focused, the range selected and each pixel as the cursor moves', async ({ page }) => {
    await open(page, consoleFont);
    await chooseGlyph(page, 0x41);
    await page.keyboard.press('ArrowRight');
    check((await focusedName(page)) === '0x42, B', 'the glyph focused is told as ' + await focusedName(page));
    await page.keyboard.down('Shift');
    await page.keyboard.press('ArrowRight');
    await page.keyboard.press('ArrowRight');
    await page.keyboard.up('Shift');
    const selected = await selectedNames(page);
    check(selected.join('|') === '0x42, B|0x43, C|0x44, D', 'the range is told as ' + selected.join('|'));
    await page.keyboard.press('Enter');
    await page.keyboard.press('ArrowRight');
    const ink = (glyphs[0x44 * 8] & 0x40) !== 0;
    check((await focusedName(page)) === 'row 1, column 2, ' + (ink ? 'ink' : 'paper'), 'the pixel is told as ' + await focusedName(page));
    await page.keyboard.press(' ');
    check((await focusedName(page)) === 'row 1, column 2, ' + (ink ? 'paper' : 'ink'), 'the pixel set is told as ' + await focusedName(page));
    await ctrl(page, 'z');
  }],
  ['the grid stops at its ends; each glyph operation, its undo and redo are said; the other font\'s preview is named', async ({ page }) => {
    await open(page, consoleFont);
    const opened = await gridFont(page);
    // From a code, keys pressed (Shift held where the row says): the glyph
    // focused after, and the first and last codes selected.
    const moves = [
      [0xFE, true, ['ArrowRight', 'ArrowRight'], 0xFF, 0xFE, 0xFF],
      [0xFF, false, ['ArrowRight', 'ArrowDown'], 0xFF, 0xFF, 0xFF],
      [0xF5, true, ['ArrowDown'], 0xF5, 0xF5, 0xF5],
      [0x00, false, ['ArrowLeft', 'ArrowUp'], 0x00, 0x00, 0x00],
      [0x01, true, ['ArrowLeft', 'ArrowLeft', 'ArrowUp'], 0x00, 0x00, 0x01],
      [0x0F, false, ['ArrowRight'], 0x10, 0x10, 0x10],
    ];
    for (const [from, shift, keys, focused, first, last] of moves) {
      await chooseGlyph(page, from);
      if (shift) await page.keyboard.down('Shift');
      for (const key of keys) await page.keyboard.press(key);
      if (shift) await page.keyboard.up('Shift');
      const selected = await selectedNames(page);
      const code = (name) => parseInt(name, 16);
      check(code(await focusedName(page)) === focused && code(selected[0]) === first && code(selected.at(-1)) === last &&
            selected.length === last - first + 1, keys + ' from 0x' + from.toString(16) + ' focused ' +
            await focusedName(page) + ' and selected ' + selected.length + ', ' + selected[0] + ' to ' + selected.at(-1));
    }
    // What the live region says after each gesture.
    const told = () => page.$eval('#announce', (region) => region.getAttribute('role') + ': ' + region.textContent.trim());
    const clear = await page.$$eval('#transforms button', (buttons) => buttons.findIndex((b) => b.textContent === 'Clear'));
    const bold = await page.$$eval('#transforms button', (buttons) => buttons.findIndex((b) => b.textContent === 'Bold'));
    await chooseGlyph(page, 0x41);
    let pixel = '';  // the pixel Space set, as a screen reader was told it
    const said = [
      [() => page.click(`button[data-transform="${clear}"]`), 'Glyph 0x41 cleared.'],
      [() => page.click(`button[data-transform="${clear}"]`), 'Nothing changed in glyph 0x41.'],
      [() => ctrl(page, 'z'), 'Undone: glyph 0x41 cleared.'],
      [() => ctrl(page, 'y'), 'Redone: glyph 0x41 cleared.'],
      [() => ctrl(page, 'z'), 'Undone: glyph 0x41 cleared.'],
      [() => ctrl(page, 'y'), 'Redone: glyph 0x41 cleared.'],
      [() => ctrl(page, 'y'), 'Nothing to redo.'],
      [async () => { await chooseGlyph(page, 0x80); await chooseGlyph(page, 0xAF, true); }, '0x80 to 0xAF selected, 48 glyphs'],
      [() => page.click(`button[data-transform="${bold}"]`), '0x80 to 0xAF made bold.'],
      [() => ctrl(page, 'z'), 'Undone: 0x80 to 0xAF made bold.'],
      [async () => { await chooseGlyph(page, 0x30); await chooseGlyph(page, 0x39, true); await ctrl(page, 'c'); }, null],
      [async () => { await chooseGlyph(page, 0xF8); await ctrl(page, 'v'); }, null],
      [() => ctrl(page, 'z'), 'Undone: 0xF8 to 0xFF pasted.'],
      [async () => {
        await chooseGlyph(page, 0x42);
        await page.keyboard.press('Enter');
        await page.keyboard.press(' ');
        pixel = await focusedName(page);
      }, null],
      [() => ctrl(page, 'z'), () => 'Undone: ' + pixel.replace(/, (ink|paper)$/, ' of glyph 0x42 set to $1.')],
      [() => clickEditor(page, 2, 2), null],
      [() => ctrl(page, 'z'), 'Undone: glyph 0x42 drawn.'],
    ];
    for (const [gesture, expected] of said) {
      await gesture();
      const words = typeof expected === 'function' ? expected() : expected;
      if (words) check(await told() === 'status: ' + words, 'after "' + words + '" the live region says ' + await told());
    }
    // Every operation is said as it is done, and its undo says the same;
    // on an F, which each of them changes.
    await chooseGlyph(page, 0x46);
    for (let number = 0; number < 10; number++) {
      await page.click(`button[data-transform="${number}"]`);
      const done = (await told()).replace(/^status: /, '');
      await ctrl(page, 'z');
      check(/^Glyph 0x46 [a-z]/.test(done) && await told() === 'status: Undone: g' + done.slice(1),
            'operation ' + number + ' was said as ' + done + ', its undo as ' + await told());
    }
    const cleared = Buffer.from(opened).fill(0, 0x41 * 8, 0x42 * 8);
    check((await gridFont(page)).equals(cleared), 'the operations undone left the font changed');
    // Each preview shown, the other font's too, has a name.
    await open(page, '/usr/share/consolefonts/Greek-VGA8.psf.gz', '#other-file');
    const session = await page.createCDPSession();
    const { nodes } = await session.send('Accessibility.getFullAXTree');
    await session.detach();
    const canvases = nodes.filter((node) => node.role.value === 'Canvas' && !node.ignored).map((node) => node.name.value);
    check(canvases.length === 5 && canvases.every((name) => name) && canvases.includes('The text in Greek-VGA8.psf.gz at 2x') &&
          canvases.includes('The glyph or block drawn 3 by 3 around itself'),
          'the previews are named ' + canvases.join('|'));
  }],
  ['a folder dropped on the patch part patches its game files; dropped elsewhere, the page says so', async ({ page }) => {
    const folder = path.join(work, 'game');
    fs.mkdirSync(folder);
    fs.writeFileSync(path.join(folder, 'ZYR2.EXE'), pattern(exeLength, 11));
    fs.writeFileSync(path.join(folder, 'BRANVEL.EXE'), pattern(1000, 12));
    fs.writeFileSync(path.join(folder, 'README.TXT'), 'read me');
    // The browser asks the user before a page may write into a folder
    // dropped; here the user says no, and the files come back as downloads.
    await page.evaluate(() => { FileSystemHandle.prototype.requestPermission = async () => 'denied'; });
    await clearMessages(page);
    await dropFolder(page, '#patch-section', folder);
    // The patch button may show the game chosen before: the folder is chosen once it is said found.
    await waitFor(page, 'Found: BRANVEL.EXE (1000 bytes), ZYR2.EXE (615936 bytes).');
    const { said, files } = await patchAndDownload(page);
    const expected = pattern(exeLength, 11);
    (await gridFont(page)).copy(expected, exeOffset);
    check(files.get('ZYR2.EXE').equals(expected), 'ZYR2.EXE of the folder is not patched');
    check(said.includes('did not let the page write into game') && said.includes('BRANVEL.EXE File size: 1000'),
          'the patch said: ' + said);
    await dropFolder(page, '#open-section', folder);
    await waitFor(page, 'game is a folder');
    // A blank font goes into no game file, with a word of why.
    await page.click('#start-afresh');
    await clearMessages(page);
    await dropFolder(page, '#patch-section', folder);
    await waitFor(page, 'ZYR2.EXE (615936 bytes)');
    await clearMessages(page);
    await page.click('#patch');
    await waitFor(page, 'The font is blank');
    check(await page.$eval('#game-downloads', (list) => list.children.length === 0), 'a blank font was patched in');
    check((await open(page, process.env.ZYR2_PROGRAM, '#attach-program')).includes('The font is blank'),
          'a blank font was attached');
    // A font dropped with the folder is opened, undoably, and patched in on
    // the user's click.
    const greek = '/usr/share/consolefonts/Greek-VGA8.psf.gz';
    const greekFont = path.join(work, 'greek.fnt');
    childProcess.execFileSync(process.env.ZYR2_PROGRAM, ['--convert', greek, greekFont], { stdio: 'pipe' });
    await clearMessages(page);
    await dropFolder(page, '#patch-section', [folder, greek]);
    await waitFor(page, 'Patch the game files to put the font into them');
    check((await messages(page)).includes('Greek-VGA8.psf.gz is open'), 'no word of the font dropped: ' + await messages(page));
    check((await gridFont(page)).equals(fs.readFileSync(greekFont)), 'the font dropped with the folder is not open');
    const withFont = pattern(exeLength, 11);
    fs.readFileSync(greekFont).copy(withFont, exeOffset);
    check((await patchAndDownload(page)).files.get('ZYR2.EXE').equals(withFont), 'ZYR2.EXE is not patched with the font dropped');
    await ctrl(page, 'z');
    check(!(await gridFont(page)).equals(fs.readFileSync(greekFont)), 'Undo did not take back the font dropped');
    // A font dropped with the folder that does not open leaves the font
    // open as it was, and the page invites no patch with it.
    await clearMessages(page);
    await dropFolder(page, '#patch-section', [folder, write('broken.fnt', Buffer.alloc(100, 0x55))]);
    await waitFor(page, 'The font open here is unchanged');
    check(!(await messages(page)).includes('Patch the game files to put'), 'a patch is invited: ' + await messages(page));
  }],
  ['a translation checked gives --check --all\'s lists and summary, and drawing a blank glyph clears its mark', async ({ page }) => {
    // Code page 866's Cyrillic font, blank at ё, № and П, which the texts use.
    const font = path.join(work, 'cyr866.fnt');
    childProcess.execFileSync(process.env.ZYR2_PROGRAM, ['--convert', '--codepage', '866',
      '/usr/share/consolefonts/CyrSlav-VGA8.psf.gz', font], { stdio: 'pipe' });
    const blanked = fs.readFileSync(font);
    for (const code of [0xF1, 0xFC, 0x8F]) blanked.fill(0, code * 8, code * 8 + 8);
    fs.writeFileSync(font, blanked);
    // A combining mark, shown on a dotted circle, and a space that draws
    // nothing, by its number alone.
    const pasted = 'Ђ ё\u0301\u202F\n';
    const texts = ['ru.txt', 'el.txt'].map((name) => write(name, fs.readFileSync(path.join(__dirname, '..', 'texts', name))));
    write('pasted text', pasted);
    const names = ['ru.txt', 'el.txt', 'pasted text'];
    const uses = usesIn866([...texts.map((text) => fs.readFileSync(text, 'utf8')), pasted]);
    await open(page, font);
    await page.select('#code-page', '866');
    await upload(page, '#check-files', texts);
    await untilPage(page, 'the summary of a check in code page 866', () =>
      document.getElementById('check-summary').textContent.includes('866'));
    await page.type('#check-text', pasted);
    await untilPage(page, 'the text pasted in the lists', () =>
      document.getElementById('check-lists').textContent.includes('pasted text'));
    const before = await sameCheck(page, 866, font, names, uses);
    check(before.listed.some((line) => line.includes('pasted text:1:1')), 'the text pasted is not checked');
    // The mark is seen too: the paper of a blank glyph used, not white.
    const paper = await page.$eval('#grid', (canvas, code) => Array.from(canvas.getContext('2d').getImageData(
      Number(canvas.dataset.left) + (code % 16 + 0.5) * Number(canvas.dataset.cell),
      Number(canvas.dataset.top) + (Math.floor(code / 16) + 0.5) * Number(canvas.dataset.cell), 1, 1).data), 0xF1);
    check(paper[0] > paper[2] + 40, 'ё\'s glyph is drawn on ' + paper + ', not marked blank');
    // Choosing ё focuses its glyph; drawing in it clears its mark.
    await page.click('#check-blank button[data-index]');
    const focused = await focusedName(page);
    check(focused === before.cells[0xF1] && focused.endsWith('blank, used 5 times'), 'the glyph focused is ' + focused);
    await page.keyboard.press('Enter');
    await clickEditor(page, 3, 3);
    const edited = write('edited.fnt', await save(page, '.fnt'));
    const after = await sameCheck(page, 866, edited, names, uses);
    check(after.cells[0xF1] === '0xF1, ё, used 5 times' && !after.listed.some((line) => line.startsWith('U+0451')),
          'ё is still marked: ' + after.cells[0xF1]);
    // A character the code page lacks has no glyph, and the page says so.
    await page.click('#check-lacking button');
    await waitFor(page, 'is not in code page 866');
    // Another code page checks the texts again, in it.
    await page.select('#code-page', '437');
    await untilPage(page, 'the summary of a check in code page 437', () =>
      document.getElementById('check-summary').textContent.includes('437'));
    check((await pageCheck(page)).listed.join('\n') === programCheck(437, edited, names).listed.join('\n'),
          'the lists in code page 437 are not --check\'s');
    // The check's own code page checks the texts in it, the font as it is.
    await page.select('#check-code-page', '866');
    await untilPage(page, 'the summary of a check in code page 866', () =>
      document.getElementById('check-summary').textContent.includes('866'));
    await sameCheck(page, 866, edited, names, uses);
    check(await page.$eval('#code-page', (select) => select.value) === '437', 'the work\'s code page changed');
    await page.select('#check-code-page', '0');
    await ctrl(page, 'z');
  }],
  ['a text not UTF-8 or over 64 MiB is refused in the program\'s words; a few MB are checked in one go', async ({ page }) => {
    const font = path.join(work, 'edited.fnt');
    write('broken.txt', Buffer.concat([Buffer.from('Строка\nвторая\nтре'), Buffer.from([0xE9]), Buffer.from('тья\n')]));
    // Saved as UTF-16, with no byte order mark: a NUL after each character of ASCII.
    write('utf16.txt', Buffer.from('Строка и ещё\n', 'utf16le'));
    const long = path.join(work, 'long.txt');
    fs.closeSync(fs.openSync(long, 'w'));
    fs.truncateSync(long, 64 * 1024 * 1024 + 1);
    // Dropped on the part, and picked.
    for (const files of [['ru.txt', 'broken.txt'], ['long.txt'], ['utf16.txt']]) {
      await clearMessages(page);
      if (files.length > 1) await drop(page, '#check-part', files.map((name) => [name, fs.readFileSync(path.join(work, name))]));
      else await upload(page, '#check-files', path.join(work, files[0]));
      const said = await answerIn(page, 'check');
      const program = programCheck(866, font, files).error;
      check(said === program, 'the page said ' + said + ', the program ' + program);
      check(!(await pageCheck(page)).cells.some((name) => name.includes('used')), 'marks stayed after ' + said);
    }
    // About 5 MB of Russian, as a translation's texts may be.
    const russian = fs.readFileSync(path.join(work, 'ru.txt'));
    const big = write('big.txt', Buffer.concat(Array(Math.ceil(5e6 / russian.length)).fill(russian)));
    const before = await page.$eval('#check-summary', (element) => element.textContent);
    const started = Date.now();
    await upload(page, '#check-files', big);
    await untilPage(page, 'the summary of big.txt checked', (before) =>
      !['', before].includes(document.getElementById('check-summary').textContent), before);
    console.log('# a ' + fs.statSync(big).size + '-byte text checked in ' + (Date.now() - started) / 1000 + ' s');
    check((await pageCheck(page)).summary === programCheck(866, font, ['big.txt', 'pasted text']).summary,
          'the 5 MB text is not checked as --check does');
    await page.click('#check-forget');
  }],
  ['a texts folder dropped on the check part is checked with the folders inside it, within bounds', async ({ page }) => {
    const font = write('folder-check.fnt', await save(page, '.fnt'));
    const folder = path.join(work, 'texts');
    const russian = fs.readFileSync(path.join(__dirname, '..', 'texts', 'ru.txt'));
    const files = [['ru.txt', russian], ['el/el.txt', fs.readFileSync(path.join(__dirname, '..', 'texts', 'el.txt'))],
      ['el/deeper/note.txt', 'Ёлка №5 и ПУСК\n'], ['.git/objects/ab', pattern(300, 9)]];
    for (const [name, bytes] of files) {
      fs.mkdirSync(path.dirname(path.join(folder, name)), { recursive: true });
      fs.writeFileSync(path.join(folder, name), bytes);
    }
    await page.select('#check-code-page', '866');
    await clearMessages(page);
    await dropFolder(page, '#check-part', folder);
    await waitFor(page, 'Checked 3 files of texts, the folders inside it too.');
    const names = ['el/deeper/note.txt', 'el/el.txt', 'ru.txt'];
    const program = programCheck(866, font, names, folder);
    const shown = await pageCheck(page);
    check(shown.listed.join('\n') === program.listed.join('\n') && shown.summary === program.summary,
          'the folder is not checked as --check checks ' + names.join(' ') + ':\n' + shown.listed.join('\n') +
          '\n' + shown.summary + '\n--- the program ---\n' + program.listed.join('\n') + '\n' + program.summary);
    // Past 1,000 files the rest are left out, and the page says which.
    const many = path.join(work, 'many');
    for (let i = 0; i < 1002; i++) {
      const name = path.join(many, 'part' + Math.floor(i / 500), 'n' + String(i).padStart(4, '0') + '.txt');
      fs.mkdirSync(path.dirname(name), { recursive: true });
      fs.writeFileSync(name, 'Жук\n');
    }
    await clearMessages(page);
    await dropFolder(page, '#check-part', many);
    await waitFor(page, 'Checked 1,000 files of many');
    check((await messages(page)).includes('2 files from part2/n1000.txt on were left out: the page checks 1,000 files'),
          'no word of the files left out: ' + await messages(page));
    const zhe = (await pageCheck(page)).cells[0x86];
    check(zhe.endsWith('used 1,000 times'), 'Ж is told as ' + zhe);
    await page.click('#check-forget');
    await page.select('#check-code-page', '0');
  }],
  ['with no code page chosen, a font is placed and checked by its own, said as --check says it; one chosen wins', async ({ page }) => {
    for (const name of ['ru.txt', 'el.txt']) write(name, fs.readFileSync(path.join(__dirname, '..', 'texts', name)));
    const listShows = () => page.$eval('#code-page', (list) => list.selectedOptions[0].textContent);
    // Checks a text, and waits for the summary the program gives the font
    // in that code page (0: its own), which the page's must be.
    const checked = async (font, text, codePage) => {
      const program = programCheck(codePage, font, [text]);
      await upload(page, '#check-files', path.join(work, text));
      const shows = () => page.$eval('#check-summary', (element) => element.textContent);
      await until('the summary ' + program.summary, async () => await shows() === program.summary,
                  async () => '; the page shows ' + await shows() + '; it said: ' + await messages(page));
      const shown = await pageCheck(page);
      check(shown.listed.join('\n') === program.listed.join('\n'), 'the lists are not --check\'s:\n' +
            shown.listed.join('\n') + '\n--- the program ---\n' + program.listed.join('\n'));
      return shown;
    };
    // No text checked before, and no code page chosen.
    await page.$eval('#check-forget', (button) => button.click());
    await page.select('#code-page', '0');
    // The font, its own code page (0: none, placed as before), what the
    // list shows and the line --check begins with.
    const fonts = [
      [path.join(work, 'edited.fnt'), 0, 'as the font says (437 when it needs one)', 'ru.txt',
       'Checked in code page 437: the font names no code page of its own.'],
      ['/usr/share/consolefonts/Cyr_a8x8.psf.gz', 866, 'as the font says: 866', 'ru.txt',
       'Checked in code page 866, the font\'s own.'],
      ['/usr/share/consolefonts/737.cp', 737, 'as the font says: 737', 'el.txt',
       'Checked in code page 737, the font\'s own.'],
    ];
    for (const [font, own, shows, text, first] of fonts) {
      await open(page, font);
      check(await listShows() === shows, path.basename(font) + ': the code page list shows ' + await listShows());
      // Placed as the program places it by its own code page: keyed by it
      // in a BDF, and that BDF's glyphs put at their codes again by it.
      const placed = path.join(work, 'own.fnt');
      const keyed = path.join(work, 'own-keyed.bdf');
      if (own) {
        childProcess.execFileSync(process.env.ZYR2_PROGRAM, ['--convert', font, keyed], { stdio: 'pipe' });
        childProcess.execFileSync(process.env.ZYR2_PROGRAM,
          ['--convert', '--codepage', String(own), keyed, placed], { stdio: 'pipe' });
      } else {
        childProcess.execFileSync(process.env.ZYR2_PROGRAM, ['--convert', font, placed], { stdio: 'pipe' });
      }
      check((await gridFont(page)).equals(fs.readFileSync(placed)), path.basename(font) + ' is not placed by ' + (own || 'its codes'));
      const shown = await checked(font, text, 0);
      check(shown.summary.startsWith(first + '\n'), path.basename(font) + ' was checked so: ' + shown.summary);
    }
    // 737's Greek is drawn: each letter the text uses is at a code, not blank.
    const greek = (await pageCheck(page)).cells.filter((name) => /^0x.., [\u0370-\u03FF], (blank, )?used /.test(name));
    check(greek.length >= 40 && !greek.some((name) => name.includes('blank')), 'the Greek letters are told ' + greek.join('; '));
    // A code page chosen wins, as --codepage does (737.cp holds no font of
    // 437: its font stays, as placed, and is checked in 437 as today); Undo
    // gives the font's own back.
    const font737 = fonts[2][0];
    await page.select('#code-page', '437');
    const in437 = await checked(path.join(work, 'own.fnt'), 'el.txt', 437);
    check(in437.summary.includes('not in code page 437') && await listShows() === '437', 'in 437: ' + in437.summary);
    await ctrl(page, 'z');
    await untilPage(page, 'the check in 737 again', (first) =>
      document.getElementById('check-summary').textContent.startsWith(first), fonts[2][4]);
    // The work kept keeps its own code page: after a reload, as before.
    await reload(page);
    check(await listShows() === 'as the font says: 737', 'after a reload the list shows ' + await listShows());
    await checked(font737, 'el.txt', 0);
    // Saved keyed by characters, its glyphs are 737's, as the list shows.
    const bdf = path.join(work, 'own.bdf');
    childProcess.execFileSync(process.env.ZYR2_PROGRAM, ['--convert', '--codepage', '737', font737, bdf], { stdio: 'pipe' });
    const savedBdf = await save(page, '.bdf');
    check(savedBdf.equals(fs.readFileSync(bdf)), 'the BDF saved is not --convert --codepage 737\'s');
    // Plain --convert keys it by the font's own code page too, and says so.
    const plain = childProcess.spawnSync(process.env.ZYR2_PROGRAM, ['--convert', font737, bdf]);
    check(savedBdf.equals(fs.readFileSync(bdf)) && plain.stderr.toString().includes(' is keyed by code page 737, the font\'s own.'),
          'the BDF saved is not plain --convert\'s: ' + plain.stderr);
    await page.click('#check-forget');
  }],
  ['only what applies is shown, a fault of the page is not told in the browser\'s words', async ({ browser, url }) => {
    // A storage of its own: no work, nothing asked, no other font.
    const context = await browser.createBrowserContext();
    const page = await newTab(context);
    await page.goto(url);
    await page.waitForSelector('body[data-ready=yes]');
    const shown = (selector) => page.$eval(selector, (element) => element.getClientRects().length > 0);
    for (const selector of ['#asking', '#place-again', '#keep-glyphs', '#other-preview', '#other-previews', '#original']) {
      check(!await shown(selector), selector + ' is shown with nothing to show');
    }
    // The page's own fault, made here: said as the page's, not as the script's error.
    await page.evaluate(() => { Core.transform = () => [][0].codePage; });
    await page.click('#transforms button');
    await waitFor(page, 'a fault in the page itself');
    check(!(await messages(page)).includes('Cannot read'), 'the browser\'s words were shown: ' + await messages(page));
    await context.close();
  }],
  ['a code page moved to with the keys in the closed list is placed once, as one step, asked once', async ({ page }) => {
    const hexFont = write('zhe.hex', '0041:183C66667E666600\n0416:DB5A3C183C5ADB00\n');
    const zheAt = async (code) => (await gridFont(page)).subarray(code * 8, code * 8 + 8).equals(Buffer.from('DB5A3C183C5ADB00', 'hex'));
    const options = await page.$$eval('#code-page option', (all) => all.map((option) => option.value));
    // Moves the list from the code page it shows to another, by the keys.
    const moveTo = async (codePage) => {
      await page.focus('#code-page');
      const from = options.indexOf(await page.$eval('#code-page', (list) => list.value));
      const to = options.indexOf(codePage);
      for (let i = 0; i < Math.abs(to - from); i++) await page.keyboard.press(to > from ? 'ArrowDown' : 'ArrowUp');
      check(await page.$eval('#code-page', (list) => list.value) === codePage, 'the list did not move to ' + codePage);
    };
    await page.select('#code-page', '0');
    await open(page, hexFont);
    await clearMessages(page);
    await moveTo('866');
    check(!(await messages(page)).includes('placed again') && !await zheAt(0x86),
          'passing through the list placed the font: ' + await messages(page));
    await page.keyboard.press('Tab');
    await waitFor(page, 'placed again, by code page 866');
    check(await zheAt(0x86), 'Zhe is not at 0x86 once 866 is chosen');
    await ctrl(page, 'z');
    check(await page.$eval('#code-page', (list) => list.value) === '0' && !await zheAt(0x86),
          'one Undo did not take back the code page chosen with the keys');
    await ctrl(page, 'y');
    // Opened after it was moved, the list takes the code page moved to, so
    // that what is then picked in it is taken at once, as after a click.
    await moveTo('1251');
    await page.keyboard.press(' ');
    await waitFor(page, 'placed again, by code page 1251');
    await page.keyboard.press('Escape');
    await ctrl(page, 'z');
    check(await page.$eval('#code-page', (list) => list.value) === '866', 'one Undo did not take back 1251');
    // A move not yet taken is let go by another action: Undo undoes the
    // step before, and leaving the list then places nothing.
    await moveTo('1251');
    await ctrl(page, 'z');
    await clearMessages(page);
    await page.keyboard.press('Tab');
    check(await page.$eval('#code-page', (list) => list.value) === '0' && !(await messages(page)).includes('1251'),
          'a move let go was taken: the list shows ' + await page.$eval('#code-page', (list) => list.value) +
          '; the page said: ' + await messages(page));
    await ctrl(page, 'y');
    // Glyphs edited: the list still moves, and the question is asked once,
    // of the code page chosen; its buttons answer from the keyboard.
    await chooseGlyph(page, 0x30);
    await clickEditor(page, 0, 0);
    const drawn = await gridFont(page);
    await clearMessages(page);
    await moveTo('737');
    check(!(await messages(page)).includes('You changed') && !await page.$eval('#asking', (row) => row.getClientRects().length > 0),
          'the question was asked before a code page was chosen');
    await page.keyboard.press('Tab');
    await waitFor(page, 'You changed glyphs of zhe.hex since it was opened. Placed again by code page 737');
    await page.focus('#place-again');
    await page.keyboard.press('Enter');
    await waitFor(page, 'placed again, by code page 737');
    await ctrl(page, 'z');
    check((await gridFont(page)).equals(drawn), 'one Undo did not bring back the glyphs edited');
  }],
  ['taking or pasting glyphs that changes nothing says so and makes no step', async ({ page }) => {
    await open(page, consoleFont);
    await waitFor(page, 'Lat15-VGA8.psf.gz is open');
    await page.select('#code-page', '0');
    await page.select('#other-code-page', '0');
    await open(page, consoleFont, '#other-file');
    await waitFor(page, 'Lat15-VGA8.psf.gz is open to take glyphs from');
    const opened = await gridFont(page);
    await chooseGlyph(page, 0x42);
    await clickEditor(page, 4, 4);
    const drawn = await gridFont(page);
    await chooseGlyph(page, 0x41);
    const cases = [
      ['#take-selected', 'Nothing changed: glyph 0x41 already holds its glyph in Lat15-VGA8.psf.gz.'],
      ['#take-blank', 'Nothing changed: Lat15-VGA8.psf.gz has no glyph where this font is blank.'],
      ['#copy', '1 glyph copied'],
      ['#paste', 'Nothing changed: glyph 0x41 already holds the glyph copied.'],
    ];
    for (const [button, said] of cases) {
      await clearMessages(page);
      await page.click(button);
      await waitFor(page, said);
      check(!(await messages(page)).includes('Undo takes'), button + ' said: ' + await messages(page));
    }
    check((await gridFont(page)).equals(drawn), 'the font changed');
    await ctrl(page, 'z');
    check((await gridFont(page)).equals(opened), 'Undo did not take back the pixel drawn before');
  }],
  ['a download by the keyboard keeps the focus; original.fnt is said, and offered only when it is another font', async ({ page }) => {
    await open(page, consoleFont);
    const game = pattern(exeLength, 9);
    await clearMessages(page);
    await drop(page, '#patch-section', [['ZYR2.EXE', game]]);
    await page.waitForSelector('#original:not([hidden])');
    await page.click('#save-original');
    await waitFor(page, 'original.fnt (2048 bytes), the game\'s own font, was given to your browser to save');
    check((await downloaded('original.fnt')).equals(game.subarray(exeOffset, exeOffset + 2048)), 'original.fnt is not the game\'s font');
    await clearMessages(page);
    await page.click('#patch');
    await page.waitForSelector('#game-downloads button');
    await page.focus('#game-downloads button');
    await page.keyboard.press('Enter');
    await waitFor(page, 'Given to your browser to save: ZYR2.EXE');
    const patched = await downloaded('ZYR2.EXE');
    check(await page.evaluate(() => document.activeElement.dataset.download === '0') &&
          await focusedName(page) === 'Download ZYR2.EXE', 'the focus left the button: ' + await focusedName(page));
    // The game file patched already holds the font: no original to offer.
    await drop(page, '#patch-section', [['ZYR2.EXE', patched]]);
    await waitFor(page, 'Found: ZYR2.EXE');
    check(await page.$eval('#original', (line) => line.hidden), 'the font open is offered as the game\'s original');
  }],
  ['a tab of the earlier page blocks the keeping until it is closed; then the work is kept, and said so', async ({ browser, url }) => {
    // The page before this one, built from the project's history where the
    // run was given it; else a tab that holds the database as it did.
    const context = await browser.createBrowserContext();
    const earlier = await newTab(context);
    const given = process.env.ZYR2_EARLIER_PAGE;
    await earlier.goto(given ? 'file://' + path.resolve(given) : 'file://' + write('earlier.html', '<body><script>' +
      'const o = indexedDB.open("zyr2font", 1); o.onupgradeneeded = () => { o.result.createObjectStore("work"); ' +
      'o.result.createObjectStore("sources"); }; o.onsuccess = () => { document.body.dataset.ready = "yes"; };</script>'));
    await earlier.waitForSelector('body[data-ready=yes]');
    if (given) {
      // Its work kept as it kept it: one record, 'current'.
      await upload(earlier, '#open-file', '/usr/share/consolefonts/Greek-VGA8.psf.gz');
      await earlier.waitForFunction(() => new Promise((resolve) => {
        indexedDB.open('zyr2font', 1).onsuccess = (event) => {
          const db = event.target.result;
          db.transaction('work').objectStore('work').get('current').onsuccess = (e) => {
            db.close();
            resolve(Boolean(e.target.result) && e.target.result.name === 'Greek-VGA8.psf.gz');
          };
        };
      }), { polling: 100 });
    }
    const page = await newTab(context);
    await page.goto(url);
    await page.waitForSelector('body[data-ready=yes]');
    await page.waitForFunction(() => document.getElementById('keeping').textContent.includes('earlier version of this page is open'),
                               { polling: 100 });
    await open(page, consoleFont);
    await chooseGlyph(page, 0x41);
    await clickEditor(page, 5, 5);
    await earlier.close();
    await page.waitForFunction(() => document.getElementById('keeping').textContent.includes('the browser keeps your work again'),
                               { polling: 100 });
    await clickEditor(page, 6, 6);
    const font = await gridFont(page);
    await page.waitForFunction(() => document.getElementById('keeping').textContent === '', { polling: 100 });
    await reload(page);
    check((await messages(page)).includes('Your work on Lat15-VGA8.psf.gz is back, as you left it'),
          'after the reload the page said: ' + await messages(page, { polling: 100 }));
    check((await gridFont(page)).equals(font), 'the work done once the earlier tab closed did not come back');
    if (given) {
      check((await page.$eval('#others-list', (list) => list.textContent)).includes('Greek-VGA8.psf.gz'),
            'the earlier page\'s work is not offered');
    }
    await context.close();
  }],
  ['other tabs list a work once its tab closes and drop it once another takes it up; one gone or held is said so', async ({ browser, url }) => {
    const context = await browser.createBrowserContext();
    const tab = async () => {
      const page = await newTab(context);
      await page.goto(url);
      await page.waitForSelector('body[data-ready=yes]');
      return page;
    };
    const listed = (page) => page.$eval('#others', (others) => (others.hidden ? '' : others.textContent));
    // Waits until the database keeps a work on that font: a tab closed
    // sooner may rightly lose its last change.
    const kept = (page, name) => page.waitForFunction((name) => new Promise((resolve) => {
      indexedDB.open('zyr2font').onsuccess = (event) => {
        const db = event.target.result;
        db.transaction('works').objectStore('works').getAll().onsuccess = (e) => {
          db.close();
          resolve(e.target.result.some((work) => work.name === name));
        };
      };
    }), { polling: 100 }, name);
    const [first, second, third] = [await tab(), await tab(), await tab()];
    await open(first, '/usr/share/consolefonts/Greek-VGA8.psf.gz');
    await open(second, consoleFont);
    await kept(first, 'Greek-VGA8.psf.gz');
    await first.close();
    for (const page of [second, third]) {
      await page.waitForFunction(() => document.getElementById('others').textContent.includes('Greek-VGA8.psf.gz'),
                                 { polling: 100 });
    }
    await third.bringToFront();
    await third.click('#others-list [data-take-up]');
    await waitFor(third, 'Your work on Greek-VGA8.psf.gz is back');
    await second.waitForFunction(() => document.getElementById('others').hidden, { polling: 100 });
    // A work listed that is gone since (let go of here, behind the page's
    // back), taken up: said so, and the work open is as it was.
    await third.close();
    await second.waitForFunction(() => document.getElementById('others').textContent.includes('Greek-VGA8.psf.gz'),
                                 { polling: 100 });
    await second.bringToFront();
    const before = await gridFont(second);
    await second.evaluate(() => new Promise((resolve) => {
      const id = document.querySelector('#others-list [data-take-up]').dataset.takeUp;
      indexedDB.open('zyr2font').onsuccess = (event) => {
        const transaction = event.target.result.transaction('works', 'readwrite');
        transaction.objectStore('works').delete(id);
        transaction.oncomplete = resolve;
      };
    }));
    await second.click('#others-list [data-take-up]');
    await waitFor(second, 'That work is no longer kept in this browser');
    check((await gridFont(second)).equals(before) && !(await messages(second)).includes('as you left it'),
          'a work gone was taken up: ' + await messages(second));
    check(!(await listed(second)).includes('Greek'), 'a work gone is still offered');
    // The browser clearing the site's data: the works gone are said, and no
    // longer offered.
    const fourth = await tab();
    await open(fourth, '/usr/share/consolefonts/Greek-VGA8.psf.gz');
    await kept(fourth, 'Greek-VGA8.psf.gz');
    await fourth.close();
    await second.bringToFront();
    await second.waitForFunction(() => document.getElementById('others').textContent.includes('Greek-VGA8.psf.gz'),
                                 { polling: 100 });
    // Held by another tab meanwhile, as one starting holds it before it
    // says so: letting it go is refused, and said so.
    const id = await second.$eval('#others-list [data-let-go]', (button) => button.dataset.letGo);
    const holder = await newTab(context);
    await holder.goto('file://' + write('holder.html', '<body><script>navigator.locks.request("zyr2font-work-" + ' +
      'location.hash.slice(1), () => { document.body.dataset.ready = "yes"; return new Promise(() => {}); });</script>') + '#' + id);
    await holder.waitForSelector('body[data-ready=yes]');
    await second.bringToFront();
    second.once('dialog', (dialog) => dialog.accept());
    await second.click('#others-list [data-let-go]');
    await waitFor(second, 'The work on Greek-VGA8.psf.gz is open in another tab now: it is not let go.');
    await holder.close();
    await second.waitForFunction(() => document.getElementById('others').textContent.includes('Greek-VGA8.psf.gz'),
                                 { polling: 100 });
    const session = await second.createCDPSession();
    await session.send('Storage.clearDataForOrigin', { origin: 'file://', storageTypes: 'all' });
    await second.waitForFunction(() => document.getElementById('keeping').textContent.includes('1 other work it kept is gone'),
                                 { polling: 100 });
    check(await listed(second) === '', 'works gone are still offered: ' + await listed(second));
    await context.close();
  }],
  ['two game folders, one name in two cases, or two programs dropped: each file found is named, with what became of it', async ({ page }) => {
    await open(page, consoleFont);
    const folder = (name, files) => {
      const at = path.join(work, name);
      fs.mkdirSync(at, { recursive: true });
      for (const [file, bytes] of files) fs.writeFileSync(path.join(at, file), bytes);
      return at;
    };
    const installs = [folder('install1/ZYR2', [['ZYR2.EXE', pattern(exeLength, 21)], ['BRANVEL.EXE', pattern(1000, 22)]]),
                      folder('install2/ZYR2', [['ZYR2.EXE', pattern(exeLength, 23)]])];
    const cases = [
      // Two installs dropped together: one game folder at a time.
      [installs, 'were dropped together: drop one game folder at a time. Nothing of them is chosen.', null],
      // One name in two cases, in one folder: neither is patched, both named.
      [folder('cases', [['ZYR2.EXE', pattern(exeLength, 24)], ['zyr2.exe', pattern(exeLength, 25)],
                        ['BRANVEL.EXE', pattern(1000, 26)]]),
       'ZYR2.EXE and zyr2.exe are one name given 2 times: the page cannot tell which is the game\'s, and patches none of them.',
       'Found: BRANVEL.EXE (1000 bytes).'],
    ];
    for (const [paths, said, found] of cases) {
      await clearMessages(page);
      await dropFolder(page, '#patch-section', paths);
      await waitFor(page, said);
      if (found) check((await messages(page)).includes(found), 'the files found are told as: ' + await messages(page));
      check(await page.$eval('#game-downloads', (list) => list.children.length === 0), 'files are offered to download');
    }
    // A release folder with both builds: the first is given the font, the
    // other is named.
    const release = folder('release', [['zyr2font', fs.readFileSync(process.env.ZYR2_PROGRAM)],
                                       ['zyr2font.exe', fs.readFileSync(process.env.ZYR2_PROGRAM)]]);
    await clearMessages(page);
    await dropFolder(page, '#attach-section', release);
    await waitFor(page, 'zyr2font.exe was left as given: give one program at a time.');
    check((await messages(page)).includes('A copy of zyr2font that carries the font'), 'attach said: ' + await messages(page));
    await downloaded('zyr2font');
  }],
  ['each action of the user draws the page once, after the whole change', async ({ page }) => {
    await open(page, consoleFont);
    await page.evaluate(() => {
      const drawn = render;
      window.renders = 0;
      render = (state) => { window.renders++; drawn(state); };
    });
    // Each action, and how many times the page is drawn for it: Enter
    // moves the focus to the editor, which draws its cursor, then Space;
    // a click on a button leaves the editor, which draws it no more.
    const actions = [
      ['an arrow key in the grid', 1, async () => { await page.focus('#glyphs'); await page.keyboard.press('ArrowRight'); }],
      ['Shift and an arrow key', 1, async () => {
        await page.keyboard.down('Shift');
        await page.keyboard.press('ArrowRight');
        await page.keyboard.up('Shift');
      }],
      ['Enter, then a pixel set by Space', 2, async () => { await page.keyboard.press('Enter'); await page.keyboard.press(' '); }],
      ['Undo', 1, () => ctrl(page, 'z')],
      ['a transform', 2, () => page.click('#transforms button')],
      // The test's own emptying of the answers draws the page: the count
      // starts after it.
      ['a file opened', 1, async () => {
        await clearMessages(page);
        await page.evaluate(() => { window.renders = 0; });
        await upload(page, '#open-file', consoleFont);
      }],
      // The block's gestures: focusing its picture draws its cursor; a
      // click on a button leaves it, which draws it no more.
      ['the block shown as one picture', 1, () => page.click('#block-edit')],
      ['the block focused, then a pixel set by Space', 2, async () => {
        await page.focus('#block-pixels');
        await page.keyboard.press(' ');
      }],
      ['the block flipped', 2, () => page.click('#block-transforms button')],
      ['back to one glyph', 1, () => page.click('#block-edit')],
    ];
    for (const [action, times, run] of actions) {
      await page.evaluate(() => { window.renders = 0; });
      await run();
      await page.waitForFunction((times) => window.renders >= times && state.acting === 0, { polling: 100 }, times);
      const renders = await page.evaluate(() => window.renders);
      check(renders === times, action + ' drew the page ' + renders + ' times');
    }
  }],
  ['previews draw each font pixel at a whole number of screen pixels, and scroll sideways', async ({ page }) => {
    await page.$eval('#preview-text', (input) => {
      input.value = 'A line of fifty-one characters, longer than a phone';
      input.dispatchEvent(new Event('input'));
    });
    for (const [width, ratio] of [[1280, 1], [390, 1], [390, 3]]) {
      await page.setViewport({ width, height: 800, deviceScaleFactor: ratio });
      const drawn = await page.$$eval('#previews canvas', (canvases) => canvases.map((canvas) => [
        Number(canvas.dataset.scale), canvas.getBoundingClientRect().width * devicePixelRatio / Number(canvas.dataset.pixels)]));
      for (const [scale, screenPixels] of drawn) {
        check(Math.abs(screenPixels - Math.round(screenPixels)) < 1e-6 && screenPixels >= scale,
              scale + 'x is drawn at ' + screenPixels + ' screen pixels at ' + width + ' px');
      }
      const [reach, shown, widest] = await page.$eval('#previews', (box) => [box.scrollWidth, box.clientWidth,
        Math.max(...Array.from(box.children, (canvas) => canvas.getBoundingClientRect().width))]);
      check(reach >= Math.floor(widest) && (width > 390 || reach > shown), 'the previews do not scroll at ' + width + ' px');
      // The grid: cells of a touch target at least, each font pixel whole
      // screen pixels; scrolling sideways where the screen is narrower.
      const [cell, fontPixel, gridScrolls] = await page.$eval('#grid', (canvas) => {
        const box = canvas.getBoundingClientRect();
        const scroller = canvas.closest('.scrolls');
        return [box.width / canvas.width * Number(canvas.dataset.cell),
                box.width * devicePixelRatio / canvas.width * Number(canvas.dataset.scale),
                scroller.scrollWidth > scroller.clientWidth];
      });
      check(cell >= 24 && Math.abs(fontPixel - Math.round(fontPixel)) < 1e-6 && (width > 390 || gridScrolls),
            'the grid\'s cells are ' + cell + ' px, a font pixel ' + fontPixel + ' screen pixels at ' + width + ' px');
      // Whatever scrolls can be reached and scrolled from the keyboard.
      const unreachable = await page.evaluate(() => Array.from(document.querySelectorAll('body *')).filter((element) => {
        const style = getComputedStyle(element);
        const scrolls = /auto|scroll/.test(style.overflowX + style.overflowY) &&
          (element.scrollWidth > element.clientWidth || element.scrollHeight > element.clientHeight);
        return scrolls && element.tabIndex < 0 && !element.querySelector('[tabindex="0"], button, input, select, textarea');
      }).map((element) => element.id || element.className));
      check(unreachable.length === 0, 'no tab stop reaches what scrolls at ' + width + ' px: ' + unreachable.join(', '));
    }
    await page.setViewport({ width: 1280, height: 800 });
  }],
  ['a block of glyphs is edited as one picture, and cut and put as the program does', async ({ page }) => {
    // The font as the page opened it, by whichever code page is chosen.
    await open(page, consoleFont);
    const start = await gridFont(page);
    const base = write('block-base.fnt', start);
    const program = (...args) => childProcess.execFileSync(process.env.ZYR2_PROGRAM, args);
    const blockArgs = ['--codes', '0xC9-0xCB', '--width', '3'];
    // The program's picture of a font's block, and a font with a picture in it.
    const programPng = (font) => {
      program('--convert', write('block-font.fnt', font), path.join(work, 'block-program.png'), ...blockArgs);
      return fs.readFileSync(path.join(work, 'block-program.png'));
    };
    const programPut = (picture) => merged(base, picture, ...blockArgs);
    await chooseGlyph(page, 0xC9);
    await chooseGlyph(page, 0xCB, true);
    await page.$eval('#block-width', (input) => { input.value = '3'; input.dispatchEvent(new Event('change')); });
    await page.click('#block-edit');
    // A line across the three glyphs, drawn by the mouse from a row that
    // begins on paper: one step, the block's picture the program's.
    const row = [0, 1, 2, 3, 4, 5, 6, 7].find((r) => (start[0xC9 * 8 + r] & 0x80) === 0);
    check(row !== undefined, 'glyph 0xC9 has ink all down its left side');
    const editor = await page.$('#block-editor');
    await editor.scrollIntoView();
    const box = await editor.boundingBox();
    const { left, top, cell, width } = await page.$eval('#block-editor', (c) => ({ ...c.dataset, width: c.width }));
    const ratio = box.width / width;
    const at = (column) => [box.x + (Number(left) + (column + 0.5) * Number(cell)) * ratio,
                            box.y + (Number(top) + (row + 0.5) * Number(cell)) * ratio];
    await page.mouse.move(...at(0));
    await page.mouse.down();
    await page.mouse.move(...at(23), { steps: 60 });
    await page.mouse.up();
    const lined = Buffer.from(start);
    for (const code of [0xC9, 0xCA, 0xCB]) lined[code * 8 + row] = 0xFF;
    check((await gridFont(page)).equals(lined), 'the line was not drawn across the three glyphs');
    await page.click('#block-save');
    check((await downloaded('block-C9-CB.png')).equals(programPng(lined)), 'the block saved is not the program\'s picture');
    await ctrl(page, 'z');
    check((await gridFont(page)).equals(start), 'Undo did not take the line back whole');
    // Flipped left to right as one picture: the same font as the program's
    // picture flipped by ImageMagick and put back.
    const flips = await page.$$eval('#block-transforms button', (buttons) =>
      buttons.filter((b) => b.textContent === 'Flip left-right').length);
    check(flips === 1, 'no block flip');
    await page.$$eval('#block-transforms button', (buttons) =>
      buttons.find((b) => b.textContent === 'Flip left-right').click());
    const flopped = path.join(work, 'block-flopped.png');
    childProcess.execFileSync('convert-im6.q16', [write('block-before.png', programPng(start)), '-flop', flopped]);
    check((await save(page, '.fnt')).equals(programPut(flopped)), 'the block flipped is not the program\'s flip');
    check((await page.$eval('#announce', (e) => e.textContent)).startsWith('0xC9 to 0xCB, 3 glyphs across, flipped left to right.'),
          'the flip was said: ' + await page.$eval('#announce', (e) => e.textContent));
    await ctrl(page, 'z');
    check((await gridFont(page)).equals(start), 'Undo did not take the flip back whole');
    // A picture drawn by ImageMagick put into the block, as --merge puts it;
    // one of another size is refused with the size the block needs.
    const drawn = path.join(work, 'block-drawn.png');
    childProcess.execFileSync('convert-im6.q16', ['-size', '72x24', 'xc:white', '+antialias', '-fill', 'black',
      '-draw', 'rectangle 6,6 65,11', '-draw', 'rectangle 30,0 41,23', drawn]);
    await open(page, drawn, '#block-picture');
    check((await save(page, '.fnt')).equals(programPut(drawn)), 'the picture put is not the program\'s --merge');
    await ctrl(page, 'z');
    check((await gridFont(page)).equals(start), 'Undo did not take the picture back whole');
    const wrong = path.join(work, 'logo.png');
    childProcess.execFileSync('convert-im6.q16', ['-size', '40x16', 'xc:white', wrong]);
    check((await open(page, wrong, '#block-picture')).includes(
      'logo.png is 40x16; 3 glyphs across and 1 down need 24x8, or a whole multiple of it.'),
          'a picture of another size: ' + await messages(page));
    // Along a row, the arrow keys cross from glyph to glyph, each pixel
    // named by its place in the picture and its glyph.
    await page.focus('#block-pixels');
    const names = [];
    for (let column = 0; column < 10; column++) {
      names.push(await focusedName(page));
      await page.keyboard.press('ArrowRight');
    }
    const expected = names.map((_, column) => {
      const code = 0xC9 + (column >> 3);
      const ink = (start[code * 8] >> (7 - column % 8) & 1) === 1;
      return 'row 1, column ' + (column + 1) + ', glyph 0x' + code.toString(16).toUpperCase() + ', ' + (ink ? 'ink' : 'paper');
    });
    check(names.join('|') === expected.join('|'), 'the pixels were named ' + names.join('; '));
    await page.click('#block-edit');
    // A rectangle dragged in the grid is a block, its width the
    // rectangle's: 0xC9 to 0xDB is 0xC9-0xCB,0xD9-0xDB, 3 across.
    const grid = await page.$('#grid');
    await grid.scrollIntoView();
    const gridBox = await grid.boundingBox();
    const shape = await page.$eval('#grid', (c) => ({ ...c.dataset, width: c.width }));
    const cellAt = (code) => [
      gridBox.x + (Number(shape.left) + (code % 16 + 0.5) * Number(shape.cell)) * gridBox.width / shape.width,
      gridBox.y + (Number(shape.top) + (Math.floor(code / 16) + 0.5) * Number(shape.cell)) * gridBox.width / shape.width];
    await page.mouse.move(...cellAt(0xC9));
    await page.mouse.down();
    await page.mouse.move(...cellAt(0xDB), { steps: 10 });
    await page.mouse.up();
    check(await page.$eval('#block-width', (input) => input.value) === '3', 'the rectangle did not give its width');
    // Its cells alone are selected, and drawn so: not the run between its
    // corners in reading order.
    const selectedCells = await page.$$eval('#glyph-cells [aria-selected="true"]', (cells) => cells.map((cell) => cell.id));
    check(selectedCells.join() === 'glyph-201,glyph-202,glyph-203,glyph-217,glyph-218,glyph-219',
          'the rectangle selects ' + selectedCells.join());
    const paperShown = (code) => {
      const bit = [...Array(64).keys()].find((i) => (start[code * 8 + (i >> 3)] >> (7 - (i & 7)) & 1) === 0);
      return page.$eval('#grid', (canvas, code, bit) => {
        const { left, top, cell, scale } = canvas.dataset;
        const x = Number(left) + (code % 16) * Number(cell) + ((bit & 7) + 0.5) * Number(scale);
        const y = Number(top) + Math.floor(code / 16) * Number(cell) + ((bit >> 3) + 0.5) * Number(scale);
        return Array.from(canvas.getContext('2d').getImageData(Math.floor(x), Math.floor(y), 1, 1).data.slice(0, 3)).join();
      }, code, bit);
    };
    const [inside, between] = [await paperShown(0xDA), await paperShown(0xCC)];
    check(inside !== between, 'the cells between the rectangle\'s rows are drawn as selected: ' + inside + ' and ' + between);
    await page.click('#block-edit');
    await page.click('#block-save');
    program('--convert', base, path.join(work, 'block-program.png'), '--codes', '0xC9-0xCB,0xD9-0xDB', '--width', '3');
    check((await downloaded('block-C9-DB.png')).equals(fs.readFileSync(path.join(work, 'block-program.png'))),
          'the rectangle\'s block is not the program\'s');
    await page.click('#block-edit');
    // Clear acts on its cells alone, and Undo takes them back.
    await page.$$eval('#transforms button', (buttons) => buttons.find((b) => b.textContent === 'Clear').click());
    const cleared = Buffer.from(start);
    for (const code of [0xC9, 0xCA, 0xCB, 0xD9, 0xDA, 0xDB]) cleared.fill(0, code * 8, code * 8 + 8);
    check((await gridFont(page)).equals(cleared), 'Clear did not clear the rectangle\'s cells alone');
    await ctrl(page, 'z');
    check((await gridFont(page)).equals(start), 'Undo did not take the rectangle\'s Clear back');
  }],
];
// The page over 127.0.0.1, where the browser's private file system is
// open to it; from the disk it is not.
function serve(file) {
  const server = http.createServer((request, response) => {
    response.writeHead(200, { 'Content-Type': 'text/html; charset=utf-8' });
    response.end(fs.readFileSync(file));
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

async function main() {
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--headless'],
  });
  // Downloads go to one folder for as long as this session lasts (a
  // page's own session would take the setting with it when it closes).
  const session = await browser.target().createCDPSession();
  watchDownloads(session);
  await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads, eventsEnabled: true });
  const server = await serve(pagePath);
  const url = 'file://' + path.resolve(pagePath);
  const context = {
    page: await openPage(browser, url),
    browser,
    url,
    server: { browser, url: 'http://127.0.0.1:' + server.address().port + '/' },
  };
  for (const [name, step] of steps) {
    try {
      await step(context);
      passed++;
      console.log('ok - ' + name);
    } catch (error) {
      failed++;
      console.log('FAIL - ' + name + ': ' + error.message);
    }
  }
  await context.page.screenshot({ path: path.join(outFolder, 'web-page.png'), fullPage: true });
  await browser.close();
  server.close();
  if (leftMachine.length > 0) {
    failed++;
    console.log('FAIL - requests left the machine or the page failed: ' + leftMachine.join(', '));
  }
  fs.rmSync(work, { recursive: true, force: true });
  console.log(passed + ' passed, ' + failed + ' failed');
  process.exit(failed === 0 ? 0 : 1);
}

main().catch((error) => {
  console.log('FAIL - ' + error.stack);
  process.exit(1);
});
