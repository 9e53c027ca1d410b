'use strict';
// Meters, spectrum and response curve at every pixel ratio; band listen stop, editor size.
const test = require('node:test');
const assert = require('node:assert/strict');
const path = require('node:path');
const { useBrowser, gesture, screenshotDir } = require('../harness/host');
const { samfd, payloadOf, loadResponses } = require('../harness/fixtures');

const session = useBrowser();

const canvasImage = (editor, id) => editor.page.evaluate((i) => document.getElementById(i).toDataURL(), id);

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
      await editor.page.screenshot({ path: path.join(dir, `editor-${dpr}x.png`) });
      assert.deepEqual(editor.pageErrors, []);
      if (dpr !== 1) return;
      // Moved to a screen of another pixel ratio while open: the canvases sharpen for it.
      const cdp = await editor.context.newCDPSession(editor.page);
      await cdp.send('Emulation.setDeviceMetricsOverride', { width: 1200, height: 560, deviceScaleFactor: 2, mobile: false });
      await editor.run(session.fixtures.spectrum, session.fixtures.meters);
      assert.deepEqual(await editor.page.evaluate(() => Array.from(document.querySelectorAll('canvas')).map((c) => c.width)),
        sizes.map(([w]) => 2 * w));
    }, { dpr });
  }
});

const idOf = (name) => session.fixtures.names.indexOf(name);

test('the meter, level and spectrum messages are read and drawn; the loudness reset goes to the plug-in', async () => {
  await session.withLoaded(async (editor) => {
    await editor.run(`SPVFD(${idOf('Auto Gain Match')}, 1.000000)`);
    let before = await canvasImage(editor, 'meters');
    await editor.run(session.fixtures.meters);
    const { t, ...sent } = JSON.parse(payloadOf(session.fixtures.meters));
    assert.deepEqual([t, await editor.kyr('meters')], ['meters', sent]);
    assert.notEqual(await canvasImage(editor, 'meters'), before);
    before = await canvasImage(editor, 'meters');
    await editor.run(samfd(5, JSON.stringify({ t: 'levels', m: -23.0, s: -22.5, i: -24.1, inTp: -3.5, gm: 1.5 })));
    assert.deepEqual(await editor.kyr('levels'), { m: -23, s: -22.5, i: -24.1, inTp: -3.5, gm: 1.5, count: 1 });
    assert.notEqual(await canvasImage(editor, 'meters'), before);
    const mark = await editor.mark();
    await editor.page.locator('[data-cmd="Reset the loudness measurement"]').click();
    assert.deepEqual(await editor.edits(mark), [{ msg: 'SAMFUI', msgTag: 11, ctrlTag: -1, data: '' }]);

    // The spectrum picture arrives encoded twice: input bands, then output bands, 0..255 for -120..0 dB.
    before = await canvasImage(editor, 'analyser');
    const bytes = new Uint8Array(256);
    for (let j = 0; j < 128; j++) { bytes[j] = 2 * j; bytes[128 + j] = 255 - j; }
    await editor.run(samfd(3, Buffer.from(bytes).toString('base64')));
    const shown = await editor.kyr('spectrum');
    const ends = [shown.input[0], shown.input[127], shown.output[0], shown.output[127]].map((db) => Number(db.toFixed(9)));
    assert.deepEqual(ends, [0, 254, 255, 128].map((b) => Number((b / 255 * 120 - 120).toFixed(9))));
    assert.notEqual(await canvasImage(editor, 'analyser'), before);
    await editor.run(session.fixtures.spectrum);
    assert.equal((await editor.kyr('stats')).spectra, 2);
  });
});

test('band listen stop button; the page scales to the size the plug-in confirms', async () => {
  await session.withLoaded(async (editor) => {
    const stop = editor.page.locator('[data-cmd="Stop Band Listen"]');
    assert.equal(await stop.isVisible(), false);
    await editor.run(`SPVFD(${idOf('Band Listen')}, ${1 / 7})`);
    let mark = await editor.mark();
    await stop.click();  // waits for the button to show
    assert.deepEqual(await editor.edits(mark), gesture(idOf('Band Listen'), 0));
    assert.equal(await stop.isVisible(), false);

    const root = editor.page.locator('#root');
    assert.deepEqual(await root.boundingBox(), { x: 0, y: 0, width: 1200, height: 560 });
    await editor.page.locator('[data-cmd="Editor size"]').click();
    assert.deepEqual(await editor.page.locator('#menu div').allTextContents(), ['100 %', '125 %', '150 %', '200 %']);
    mark = await editor.mark();
    await editor.page.locator('#menu div', { hasText: '150 %' }).click();
    assert.deepEqual((await editor.edits(mark)).map((m) => ({ ...m, data: Buffer.from(m.data, 'base64').toString() })),
      [{ msg: 'SAMFUI', msgTag: 13, ctrlTag: -1, data: '{"scale":1.5}' }]);
    assert.equal(await editor.kyr('scale'), 1, 'no answer yet: still 100 %');

    await editor.page.setViewportSize({ width: 1800, height: 840 });
    await editor.run(samfd(7, '{"t":"size","scale":3}'));
    assert.equal(await editor.kyr('scale'), 1);
    await editor.run(samfd(7, '{"t":"size","scale":1.5}'));
    assert.deepEqual(await root.boundingBox(), { x: 0, y: 0, width: 1800, height: 840 });
    assert.equal(await editor.page.locator('[data-cmd="Editor size"]').textContent(), '150 %');
    // Canvases stay sharp, and menus open under their control at the new scale.
    assert.equal(await editor.page.evaluate(() => document.getElementById('analyser').width), 680 * 1.5);
    const select = editor.locator('LF Filter', 'select');
    await select.click();
    const [s, menu] = [await select.boundingBox(), await editor.page.locator('#menu').boundingBox()];
    assert.ok(Math.abs(menu.y - (s.y + s.height + 3)) < 1 && Math.abs(menu.x - s.x) < 1, JSON.stringify([s, menu]));
  });
});
