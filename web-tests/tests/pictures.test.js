'use strict';
// The meters, the spectrum and the response curve as the plug-in sends them, at every pixel ratio.
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { useBrowser } = require('../harness/session');
const { screenshotDir } = require('../harness/host');
const { samfd, payloadOf, loadResponses } = require('../harness/fixtures');

const session = useBrowser();

const canvasImage = (editor, id) => editor.page.evaluate((i) => document.getElementById(i).toDataURL(), id);
const canvasWidth = (editor, id) => editor.page.evaluate((i) => document.getElementById(i).width, id);
const pictureStatement = (bytes) => samfd(3, Buffer.from(bytes).toString('base64'));

test('the meter message and the spectrum picture (encoded twice) are decoded and drawn', async () => {
  await session.withLoaded(async (editor) => {
    let before = await canvasImage(editor, 'meters');
    await editor.run(session.fixtures.meters);
    const { t, ...sent } = JSON.parse(payloadOf(session.fixtures.meters));
    assert.deepEqual([t, await editor.kyr('meters')], ['meters', sent]);
    assert.notEqual(await canvasImage(editor, 'meters'), before);
    const bytes = new Uint8Array(256);
    for (let j = 0; j < 128; j++) { bytes[j] = 2 * j; bytes[128 + j] = 255 - j; }
    assert.match(session.fixtures.spectrum, /^SAMFD\(3, 461, '[A-Za-z0-9+/=]{460}'\)$/);
    before = await canvasImage(editor, 'analyser');
    await editor.run(pictureStatement(bytes));
    const shown = await editor.kyr('spectrum');
    assert.equal(shown.input[0], -120);
    assert.equal(shown.input[127], 254 / 255 * 120 - 120);
    assert.equal(shown.output[0], 0);
    assert.ok(Math.abs(shown.output[127] - (128 / 255 * 120 - 120)) < 1e-9);
    assert.notEqual(await canvasImage(editor, 'analyser'), before);
    // Falling levels ease down by 3 dB per picture; rising ones jump.
    await editor.run(pictureStatement(new Uint8Array(256).fill(128)));
    const eased = await editor.kyr('spectrum');
    assert.equal(eased.output[0], -3);
    assert.ok(Math.abs(eased.input[0] - (128 / 255 * 120 - 120)) < 1e-9);
    await editor.run(session.fixtures.spectrum);
    assert.equal((await editor.kyr('stats')).spectra, 3);
  });
});

test('the drawn response curve is the engine\'s own within 0.1 dB, at the engine\'s rate', async () => {
  const responses = loadResponses();
  await session.withLoaded(async (editor) => {
    // The plug-in's own rate message sets the rate; what the curve cannot be drawn for is ignored (logic tests).
    await editor.run(session.fixtures.rate, samfd(4, 'not json'));
    assert.equal(await editor.kyr('sampleRate'), 44100);
    for (const c of responses.cases) {
      // Back to the defaults, then the case's values and rate.
      await editor.run(session.fixtures.values, c.values.map(([idx, norm]) => `SPVFD(${idx}, ${norm})`));
      await editor.run(samfd(4, JSON.stringify({ t: 'rate', fs: c.sampleRate })));
      assert.equal(await editor.kyr('sampleRate'), c.sampleRate, c.name);
      const drawn = await editor.page.evaluate((hz) => hz.map((f) => window.KyrEditor.responseDb(f)), responses.hz);
      responses.hz.forEach((hz, i) => {
        assert.equal(drawn[i].length, c.db.length, `${c.name}: curves at ${hz} Hz`);
        c.db.forEach((curve, k) => {
          assert.ok(Math.abs(drawn[i][k] - curve[i]) <= 0.1,
            `${c.name}, curve ${k} at ${hz.toFixed(1)} Hz: page ${drawn[i][k]} dB, engine ${curve[i]} dB`);
        });
      });
    }
    // The curve on the analyser is the one compared above: a setting that moves it changes the picture.
    await editor.run(session.fixtures.values);
    await editor.frame();
    const before = await canvasImage(editor, 'analyser');
    await editor.run('SPVFD(36, 1.000000)');
    await editor.frame();
    await editor.frame();
    assert.notEqual(await canvasImage(editor, 'analyser'), before);
  });
});

test('canvases stay crisp at device pixel ratios 1, 1.5 and 2, and follow a change; screenshots are written', async () => {
  const dir = screenshotDir();
  for (const dpr of [1, 1.5, 2]) {
    await session.withLoaded(async (editor) => {
      await editor.run('SPVFD(3, 0.500000)', 'SPVFD(7, 0.600000)', 'SPVFD(36, 0.300000)', 'SPVFD(42, 0.300000)');
      await editor.run(session.fixtures.spectrum, session.fixtures.meters);
      await editor.frame();
      const sizes = await editor.page.evaluate(() => Array.from(document.querySelectorAll('canvas')).map((c) => {
        const r = c.getBoundingClientRect();
        return [c.width, c.height, r.width, r.height];
      }));
      assert.equal(sizes.length, 2);
      for (const [w, h, cssW, cssH] of sizes) assert.deepEqual([w, h], [Math.round(cssW * dpr), Math.round(cssH * dpr)]);
      const file = path.join(dir, `editor-${dpr}x.png`);
      await editor.page.screenshot({ path: file });
      const png = fs.readFileSync(file);
      assert.deepEqual([png.readUInt32BE(16), png.readUInt32BE(20)], [Math.round(1200 * dpr), Math.round(560 * dpr)]);
      assert.deepEqual(editor.pageErrors, []);
      if (dpr !== 1) return;
      // Moved to a screen of another pixel ratio while open.
      const cdp = await editor.context.newCDPSession(editor.page);
      await cdp.send('Emulation.setDeviceMetricsOverride', { width: 1200, height: 560, deviceScaleFactor: 2, mobile: false });
      await editor.run(session.fixtures.spectrum, session.fixtures.meters);
      assert.deepEqual([await canvasWidth(editor, 'analyser'), await canvasWidth(editor, 'meters')], [2 * sizes[0][0], 2 * sizes[1][0]]);
    }, { dpr });
  }
});
