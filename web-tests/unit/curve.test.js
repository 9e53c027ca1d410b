'use strict';
// The response curve's maths, from the engine's voicing in the page data.
const test = require('node:test');
const assert = require('node:assert/strict');
const { loadModules } = require('../harness/modules');
const { loadPageData } = require('../harness/fixtures');

// A page with its parameters at the given plain values (everything else absent).
function pageWith(values, pageData = loadPageData()) {
  const page = loadModules(['util.js', 'params.js', 'curve.js'], { kPageData: pageData });
  page.gByName = {};
  for (const [name, plain] of Object.entries(values)) page.gByName[name] = { plain };
  page.plainOf = (p) => p.plain;
  return page;
}
const db = (page, hz, fs = 48000) => page.responseChains(fs).map((c) => page.chainDb(c, hz, fs));

// Finer than the engine comparison's 0.1 dB: a pass is 3.01 dB down at its corner, a 0 dB shelf is flat.
test('a Butterworth pass is 3 dB down at its corner and a 0 dB shelf is flat, at every rate', () => {
  const page = pageWith({});
  const chainDb = (section, hz, fs) => page.chainDb({ sections: [section], gainDb: 0 }, hz, fs);
  for (const fs of [44100, 48000, 96000]) {
    for (const hp of [true, false]) assert.ok(Math.abs(chainDb(page.designPass(hp, 5000, Math.SQRT1_2, fs), 5000, fs) + 3.0103) < 1e-3);
    for (const hz of [20, 700, 20000]) assert.ok(Math.abs(chainDb(page.designFirstOrderShelf(true, 700, 0, fs), hz, fs)) < 1e-9);
  }
});

test('the curve follows the voicing in the page data, with no other edit', () => {
  const settings = { 'Mid Boost': 100, 'Mid Boost Freq': 4, 'Output': 50 };
  // What the band adds to the curve: a peak adds exactly its gain at its centre.
  const bandDb = (data, hz) => db(pageWith(settings, data), hz)[0] - db(pageWith({ ...settings, 'Mid Boost': 0 }, data), hz)[0];
  const data = loadPageData();
  const band = data.voicing.bands.find((b) => b.amount === 'Mid Boost');
  assert.ok(Math.abs(bandDb(data, band.hz[4]) - band.gainDb) < 1e-9);
  const centre = band.hz[4] * 1.5, gain = band.gainDb + 2;
  band.gainDb = gain;
  band.hz[4] = centre;
  assert.ok(Math.abs(bandDb(data, centre) - gain) < 1e-9);
});

test('Baxandall channels give two curves only when they differ, labelled by stereo mode', () => {
  const bax = { 'Mode': 1, 'Output': 50, 'BAX Lo Shelf L': 3, 'BAX Lo Shelf R': 3, 'BAX Link': 0 };
  const cases = [
    [{}, ['L']],
    [{ 'BAX Lo Shelf R': -2 }, ['L', 'R']],
    [{ 'BAX Lo Shelf R': -2, 'BAX Stereo Mode': 1 }, ['M', 'S']],
    [{ 'BAX Lo Shelf R': -2, 'BAX Link': 1 }, ['']],
  ];
  for (const [extra, labels] of cases) {
    const page = pageWith({ ...bax, ...extra });
    assert.deepEqual(Array.from(page.responseChains(48000), (c) => c.label), labels, JSON.stringify(extra));
  }
});

test('only a usable sample-rate message changes the rate', () => {
  const page = pageWith({});
  const cases = [
    [{ t: 'rate', fs: 44100 }, true, 44100], [{ t: 'rate', fs: 192000 }, true, 192000],
    [{ t: 'rate', fs: 0 }, false, 192000], [{ t: 'rate', fs: '48000' }, false, 192000],
    [{ t: 'meters', fs: 48000 }, false, 192000], [null, false, 192000], [{ t: 'rate', fs: Infinity }, false, 192000],
    [{ t: 'rate', fs: -48000 }, false, 192000], [{ t: 'rate', fs: 1e9 }, false, 192000],
  ];
  for (const [message, accepted, rate] of cases) {
    assert.equal(page.acceptSampleRate(message), accepted, JSON.stringify(message));
    assert.equal(page.gSampleRate, rate);
  }
});
