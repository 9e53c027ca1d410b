'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { useBrowser } = require('../harness/session');
const { screenshotDir } = require('../harness/host');
const { samfd } = require('../harness/fixtures');

const session = useBrowser();

const canvasImage = (editor, id) => editor.page.evaluate((i) => document.getElementById(i).toDataURL(), id);

function pictureStatement(bytes) {
  return samfd(3, Buffer.from(bytes).toString('base64'));
}

test('the meter message is decoded and drawn', async () => {
  await session.withLoaded(async (editor) => {
    const before = await canvasImage(editor, 'meters');
    await editor.run(session.fixtures.meters);
    const sent = JSON.parse(Buffer.from(session.fixtures.meters.split('\'')[1], 'base64').toString());
    delete sent.t;
    assert.deepEqual(await editor.page.evaluate(() => window.KyrEditor.meters()), sent);
    assert.notEqual(await canvasImage(editor, 'meters'), before);
  });
});

test('the spectrum picture is decoded twice and drawn', async () => {
  await session.withLoaded(async (editor) => {
    const before = await canvasImage(editor, 'analyser');
    const bytes = new Uint8Array(256);
    for (let j = 0; j < 128; j++) { bytes[j] = 2 * j; bytes[128 + j] = 255 - j; }
    const statement = pictureStatement(bytes);
    assert.match(statement, /^SAMFD\(3, 461, '[A-Za-z0-9+/=]{460}'\)$/);
    await editor.run(statement);
    const shown = await editor.page.evaluate(() => window.KyrEditor.spectrum());
    assert.equal(shown.input[0], -120);
    assert.equal(shown.input[127], 254 / 255 * 120 - 120);
    assert.equal(shown.output[0], 0);
    assert.ok(Math.abs(shown.output[127] - (128 / 255 * 120 - 120)) < 1e-9);
    assert.notEqual(await canvasImage(editor, 'analyser'), before);
    // Falling levels ease down by 3 dB per picture; rising ones jump.
    await editor.run(pictureStatement(new Uint8Array(256).fill(128)));
    const eased = await editor.page.evaluate(() => window.KyrEditor.spectrum());
    assert.equal(eased.output[0], -3);
    assert.ok(Math.abs(eased.input[0] - (128 / 255 * 120 - 120)) < 1e-9);
    await editor.run(session.fixtures.spectrum);
    assert.equal(await editor.page.evaluate(() => window.KyrEditor.stats().spectra), 3);
  });
});

test('the response curve follows the engine\'s filter designs', async () => {
  await session.withLoaded(async (editor) => {
    const at = async (hz) => editor.page.evaluate((f) => window.KyrEditor.responseDb(f), hz);
    const flat1k = (await at(1000))[0];
    // A peaking band adds exactly its gain at its centre.
    await editor.run('SPVFD(36, 1.000000)');
    assert.ok(Math.abs((await at(1000))[0] - flat1k - 10) < 1e-9);
    await editor.run('SPVFD(36, 0.000000)');
    // A 12 dB/oct HF Filter without resonance is 3 dB down at its corner (8 kHz).
    const flat8k = (await at(8000))[0];
    await editor.run('SPVFD(31, 1.000000)');
    assert.ok(Math.abs((await at(8000))[0] - flat8k + 3.0103) < 0.01);
    // Bypass leaves the HF Filter in place but removes the program bands and the output gain.
    await editor.runAll(['SPVFD(14, 1.000000)', 'SPVFD(12, 1.000000)']);
    assert.ok(Math.abs((await at(8000))[0] + 3.0103) < 0.01);
    assert.ok(Math.abs((await at(1000))[0]) < 0.01);
    // Baxandall mode without settings is flat at the output gain (+6 dB at 75 %).
    await editor.runAll(['SPVFD(14, 0.000000)', 'SPVFD(12, 0.750000)', 'SPVFD(15, 1.000000)']);
    for (const hz of [20, 1000, 20000]) assert.ok(Math.abs((await at(hz))[0] - 6) < 1e-9, `${hz} Hz`);
    // Unlinked shelves give one curve per channel.
    await editor.runAll(['SPVFD(25, 0.000000)', 'SPVFD(18, 1.000000)']);
    const [l, r] = await at(20);
    assert.ok(l > 10.5 && l < 11 && Math.abs(r - 6) < 0.01, `${l} ${r}`);
    // Band Listen: the band-pass peaks at 0 dB plus the output level at the listened frequency.
    await editor.runAll(['SPVFD(38, 0.500000)', 'SPVFD(6, 0.000000)']);
    assert.ok(Math.abs((await at(200))[0] - 6) < 1e-9);
    assert.ok((await at(2000))[0] < -3);
  });
});

test('canvases stay crisp at device pixel ratios 1, 1.5 and 2; screenshots are written', async () => {
  const dir = screenshotDir();
  for (const dpr of [1, 1.5, 2]) {
    await session.withLoaded(async (editor) => {
      await editor.runAll(['SPVFD(3, 0.500000)', 'SPVFD(7, 0.600000)', 'SPVFD(36, 0.300000)', 'SPVFD(42, 0.300000)']);
      await editor.run(session.fixtures.spectrum);
      await editor.run(session.fixtures.meters);
      await editor.frame();
      const sizes = await editor.page.evaluate(() => Array.from(document.querySelectorAll('canvas')).map((c) => {
        const r = c.getBoundingClientRect();
        return [c.width, c.height, r.width, r.height];
      }));
      assert.equal(sizes.length, 2);
      for (const [w, h, cssW, cssH] of sizes) {
        assert.equal(w, Math.round(cssW * dpr));
        assert.equal(h, Math.round(cssH * dpr));
      }
      const file = path.join(dir, `editor-${dpr}x.png`);
      await editor.page.screenshot({ path: file });
      const png = fs.readFileSync(file);
      assert.equal(png.readUInt32BE(16), Math.round(1200 * dpr));
      assert.equal(png.readUInt32BE(20), Math.round(560 * dpr));
      assert.deepEqual(editor.pageErrors, []);
    }, { dpr });
  }
});

test('a change of pixel ratio while open resizes the canvases', async () => {
  await session.withLoaded(async (editor) => {
    const cdp = await editor.context.newCDPSession(editor.page);
    await cdp.send('Emulation.setDeviceMetricsOverride', { width: 1200, height: 560, deviceScaleFactor: 2, mobile: false });
    await editor.run(session.fixtures.spectrum);
    await editor.run(session.fixtures.meters);
    assert.equal(await editor.page.evaluate(() => document.getElementById('analyser').width), 1520);
    assert.equal(await editor.page.evaluate(() => document.getElementById('meters').width), 768);
  });
});
