// Takes the page's screenshots for the documentation into docs/images/ (not a test):
//   scripts/build-web && node web/tests/take-screenshots.mjs
import path from 'node:path';
import { startServer, openPage, convertSettled, runZtr, removeFolder, samples, root } from './harness.mjs';

const images = path.join(root, 'docs/images');
const server = await startServer();
const { browser, page } = await openPage(server.url);
await page.setViewportSize({ width: 1280, height: 860 });
const settled = () => convertSettled(page);

try {
  await page.setInputFiles('#picture-input', [path.join(samples, 'grey_gradient_75x33.pgm')]);
  await page.selectOption('#opt-dither', 'floyd-steinberg');
  for (const type of ['ssd1306', 'uc1610', 'ssd1322']) {
    await page.check(`#type-list input[value="${type}"]`);
  }
  await page.fill('#type-search', 'grey');
  await settled();
  await page.screenshot({ path: path.join(images, 'web-convert.png') });

  await page.reload();
  await page.waitForSelector('body[data-ready="yes"]');
  await page.setInputFiles('#picture-input', [path.join(samples, 'mono_128x64.bmp'),
    path.join(root, 'tests/data/im_grey7x5.png')]);
  await page.check('#type-list input[value="pcd8544"]');
  await settled();
  await page.screenshot({ path: path.join(images, 'web-convert-refused.png') });

  const anim = [0, 1, 2, 3, 4].map((i) => path.join(samples, `anim_${i}.pgm`));
  const made = runZtr(['convert', '--animation', '--delay', '100', '--type', 'ssd1306', '--type',
    'grey8_columns', ...anim.map((p) => path.basename(p))], anim);
  await page.click('#tab-view');
  await page.setInputFiles('#ztr-input', path.join(made.folder, 'anim_0.ztr'));
  await page.check('input[name="view-zoom"][value="4"]');
  await page.click('#record-list li[data-index="3"]');
  await page.waitForFunction(() => document.querySelector('#view-canvas').dataset.record === '3');
  await page.screenshot({ path: path.join(images, 'web-view.png') });
  removeFolder(made.folder);
} finally {
  await browser.close();
  server.stop();
}
