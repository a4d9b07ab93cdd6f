// A user's own profile file on the Convert tab: its profiles join the bundled ones in the
// type list, a line with a typing mistake shows ztr's warning word for word, and a type
// from the file writes what ztr convert --profiles writes.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { spawnSync } from 'node:child_process';
import { servedPage, convertSettled, runZtr, removeFolder, samples, ztr } from './harness.mjs';

const folder = mkdtempSync(path.join(tmpdir(), 'zentra-own-profiles-'));
const PROFILES = path.join(folder, 'mine.prf');
writeFileSync(PROFILES, '# my panels\r\n'
  + 'myoled 0x16 ; 1 size=128x64 My OLED, pages from the bottom\r\n'
  + 'mytypo 0x0G ; 4 A typing mistake in the lay-out code\n'
  + 'mygrey 0x01 ; 2 sise=10x10 Grey columns\n');
const PICTURE = path.join(samples, 'shapes_84x48.pbm');

const served = servedPage({ cleanUp: () => removeFolder(folder) });

const settled = () => convertSettled(served.page);

test('profiles: a profile file joins the type list and warns as ztr does', async () => {
  const bundled = await served.page.$$eval('#type-list input', (boxes) => boxes.length);
  await served.page.setInputFiles('#profile-file', PROFILES);
  await served.page.waitForSelector('#profile-messages p');

  // ztr names the file as it was given: run beside it, by its name. The page shows every
  // fault of a file the user chose, as ztr profiles --check lists them.
  const reference = spawnSync(ztr, ['profiles', '--check', 'mine.prf'], { cwd: folder, encoding: 'utf8' });
  assert.equal(reference.status, 1);
  const warnings = reference.stdout.trimEnd().split('\n').slice(0, -1).map((line) => `WARNING: ${line}`);
  assert.equal(warnings.length, 2, reference.stdout);
  assert.match(warnings[0], /^WARNING: profile file 'mine\.prf', line 3: /);
  const shown = await served.page.$$eval('#profile-messages p', (lines) => lines.map((l) => l.textContent.trimEnd()));
  assert.deepEqual(shown, [...warnings, '3 display types from mine.prf.']);

  // The bundled types stay, the file's three follow them.
  const names = await served.page.$$eval('#type-list input', (boxes) => boxes.map((b) => b.value));
  assert.equal(names.length, bundled + 3);
  assert.deepEqual(names.slice(bundled), ['myoled', 'mytypo', 'mygrey']);
  assert.ok(names.includes('ssd1306'));
  // Lay-outs in 0x hexadecimal, as the file writes them.
  const words = await served.page.$eval('#type-list input[value="myoled"]',
    (box) => box.parentElement.querySelector('small').textContent);
  assert.equal(words, 'layout 0x16, depth 1, from mine.prf');
});

test('profiles: a type from the file converts as ztr convert --profiles', async () => {
  await served.page.check('#type-list input[value="myoled"]');
  await served.page.check('#type-list input[value="mygrey"]');
  await served.page.setInputFiles('#picture-input', [PICTURE]);
  await settled();
  const [download] = await Promise.all([
    served.page.waitForEvent('download'),
    served.page.click('#convert-downloads button[data-file="shapes_84x48.ztr"]'),
  ]);
  const bytes = readFileSync(await download.path());
  const reference = runZtr(['convert', '--profiles', 'mine.prf', '--type', 'myoled', '--type', 'mygrey',
    'shapes_84x48.pbm'], [PROFILES, PICTURE]);
  try {
    assert.equal(reference.status, 0, reference.stderr);
    assert.deepEqual(bytes, readFileSync(path.join(reference.folder, 'shapes_84x48.ztr')));
  } finally {
    removeFolder(reference.folder);
  }
});

test('profiles: no request left the page\'s own address, no script error', () => {
  assert.deepEqual(served.offsite, []);
  assert.deepEqual(served.errors, []);
});
