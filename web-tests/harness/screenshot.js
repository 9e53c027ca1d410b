'use strict';
// Writes editor screenshots with the plug-in's fixtures loaded: one per device pixel ratio into the
// screenshot folder (--bax: in BAX mode), and with --docs the README pictures.
const path = require('node:path');
const { launch, openEditor, screenshotDir, kRepo } = require('./host');
const { loadFixtures, samfd } = require('./fixtures');

// A setting that shows the curve, the spectra and every meter at work.
const kShowcase = [
  'SPVFD(3, 0.550000)', 'SPVFD(36, 0.400000)', 'SPVFD(5, 0.300000)', 'SPVFD(7, 0.650000)', 'SPVFD(9, 0.300000)',
  'SPVFD(10, 0.250000)', 'SPVFD(0, 0.620000)', 'SPVFD(42, 0.350000)', 'SPVFD(30, 0.333333)', 'SPVFD(31, 0.666667)',
];
const kBax = ['SPVFD(15, 1.000000)', 'SPVFD(18, 0.700000)', 'SPVFD(21, 0.300000)', 'SPVFD(25, 0.000000)', 'SPVFD(39, 0.700000)'];

async function capture(browser, dpr, file, statements) {
  const fixtures = loadFixtures();
  const editor = await openEditor(browser, { dpr });
  await editor.load(fixtures);
  // Loudness, input level and gain match as the plug-in sends them after each meter message.
  await editor.run(statements, fixtures.spectrum, fixtures.meters,
    samfd(5, '{"t":"levels","m":-15.2,"s":-16.0,"i":-16.8,"inTp":-6.10,"gm":-1.25}'));
  await editor.frame();
  await editor.page.screenshot({ path: file });
  await editor.close();
}

async function main() {
  const browser = await launch();
  try {
    const bax = process.argv.includes('--bax');
    for (const dpr of [1, 1.5, 2]) {
      await capture(browser, dpr, path.join(screenshotDir(), `showcase-${dpr}x${bax ? '-bax' : ''}.png`), kShowcase.concat(bax ? kBax : []));
    }
    if (process.argv.includes('--docs')) {
      await capture(browser, 1, path.join(kRepo, 'docs', 'editor.png'), kShowcase);
      await capture(browser, 2, path.join(kRepo, 'docs', 'editor-2x.png'), kShowcase);
    }
  } finally {
    await browser.close();
  }
}

main().catch((e) => { console.error(e); process.exit(1); });
