'use strict';
// The page's parameter model: display texts, values in dB, typed values read by their unit, the curve's rate.
const test = require('node:test');
const assert = require('node:assert/strict');
const { loadModules, loadFixtures, loadPageData } = require('../harness/fixtures');

// A page with the plug-in's parameters, as its description message gives them.
function newPage() {
  const page = loadModules(['util.js', 'params.js', 'curve.js', 'units.js']);
  page.gParams = loadFixtures().descs.map((d) => page.makeParam(d));
  page.gByName = Object.fromEntries(page.gParams.map((p) => [p.name, p]));
  return page;
}

test('display texts come from the engine\'s table, with units and without binary noise', () => {
  const page = newPage();
  const param = (name) => page.gByName[name];
  const cases = [
    ['Input', 0.333, '33.3 %'], ['Tilt', 0.25, '-1.5 dB'], ['Tilt', 0.75, '+1.5 dB'], ['Width', 0.505, '101 %'],
  ];
  for (const [key, norm, text] of cases) assert.equal(page.displayText(param(key), norm), text, `${key} ${norm}`);
  assert.deepEqual([param('High Boost Freq').unit, param('LF Slope').unit], ['Hz', 'dB/oct']);
  // Every choice at its default shows the text the engine's table gives it.
  const data = loadPageData().params;
  assert.deepEqual(data.map((p) => p.name), page.gParams.map((p) => p.name));
  for (const [i, p] of data.entries()) {
    if (p.texts.length) assert.equal(page.displayText(page.gParams[i]), p.texts[page.gParams[i].def - page.gParams[i].min], p.name);
  }
});

test('typed values are read in the unit typed and text that fits no unit is refused', () => {
  const page = newPage();
  const cases = [
    // Levels: a plain number is %, a signed number or one with dB is dB (Output: 1 % is 0.24 dB).
    ['Output', '-3', 0.375], ['Output', '+2 dB', 0.583], ['Output', '-3dB', 0.375], ['Output', '30', 0.3],
    ['Output', ' 33,3 % ', 0.333], ['Output', '-20 dB', 0], ['Output', '250', 1], ['Output', '3 Hz', null],
    ['Output', '', null], ['Input', '40 %', 0.4],
    // Amounts take % only: "1k" typed into Low Boost is no amount.
    ['Low Boost', '1k', null], ['Low Boost', '.5', 0.005], ['Low Boost', '3 dB', null],
    ['Push-Pull Pivot', '-50', 0.25], ['Push-Pull Pivot', '-50 dB', null], ['Tilt', '-3', 0], ['Tilt', '1 %', null],
    // Frequencies in Hz or kHz snap to the nearest entry; beyond the ends they fit none.
    ['Mid Boost Freq', '1 kHz', 4 / 7], ['Mid Boost Freq', '1000', 4 / 7], ['Mid Boost Freq', '1.4k', 5 / 7],
    ['Mid Boost Freq', '10k', null], ['High Boost Freq', '10K Hz', 5 / 7], ['High Boost Freq', '11k', 6 / 7],
    ['High Boost Freq', '5', null], ['High Boost Freq', '30k', null], ['High Boost Freq', '10 dB', null],
    ['Low Cut Freq', '1000 Hz', null],
    ['LF Filter', 'off', 0], ['LF Filter', '45 Hz', 4 / 6], ['LF Slope', '24 dB/oct', 1], ['LF Slope', '20', null],
    ['Bypass', 'ON', 1], ['Bypass', 'maybe', null],
  ];
  for (const [name, text, norm] of cases) {
    const p = page.gByName[name];
    const got = page.parseEntry(p, text);
    if (norm === null) assert.equal(got, null, `${name} "${text}"`);
    else assert.ok(got !== null && Math.abs(got - norm) < 1e-12 && got === page.snapNorm(p, got), `${name} "${text}": ${got}`);
    if (norm === null) assert.ok(page.entryHint(p).length > 10);
  }
  // Input's dB is the tube drive against the default: a typed dB lands on the step with the nearest drive.
  const input = page.gByName.Input;
  for (const db of [-3, 2, 6]) {
    const n = page.parseEntry(input, `${db > 0 ? '+' : ''}${db} dB`);
    assert.ok(Math.abs(page.gainDbOf(input, n) - db) < 0.05, `Input ${db} dB: ${page.gainDbOf(input, n)}`);
  }
});

test('dB shown beside % is the level, or what the band adds to the drawn curve at its frequency', () => {
  const page = newPage();
  const set = (name, plain) => { const p = page.gByName[name]; p.norm = page.toNorm(p, plain); };
  const texts = [['Output', 50, '0.0 dB'], ['Output', 62.5, '+3.0 dB'], ['Output', 0, '-12.0 dB'], ['Input', 50, '0.0 dB']];
  for (const [name, plain, text] of texts) { set(name, plain); assert.equal(page.gainDbText(page.gByName[name]), text); }
  assert.equal(page.gainDbText(page.gByName.Tilt), '');
  // A band's dB is what it adds to the drawn curve at its selected frequency (Q, Bandwidth, rate included).
  const curveDb = (hz) => page.chainDb(page.responseChains(page.gSampleRate)[0], hz, page.gSampleRate);
  const bands = [
    ['Mid Boost', 100, 'Mid Boost Freq', 4, 1000], ['Mid Cut', 60, 'Mid Cut Freq', 0, 200], ['High Boost', 70, 'High Boost Freq', 5, 10000],
    ['Low Cut', 100, 'Low Cut Freq', 0, 30], ['Low Boost', 35, 'Low Boost Freq', 3, 140], ['High Cut', 80, 'High Cut Freq', 0, 1700],
  ];
  page.gSampleRate = 44100;  // not the page's default rate: the rate must be taken into account
  for (const [name, amount, freq, index, hz] of bands) {
    set(freq, index);
    set('Bandwidth', 100);
    set(name, 0);
    const flat = curveDb(hz);
    set(name, amount);
    const db = page.gainDbOf(page.gByName[name]);
    assert.ok(Math.abs(db) > 1, `${name} gives a gain`);
    assert.ok(Math.abs(curveDb(hz) - flat - db) < 1e-9, `${name}: ${db} against ${curveDb(hz) - flat}`);
    set(name, 0);
  }
});

test('only a usable sample-rate message changes the rate', () => {
  const page = newPage();
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
