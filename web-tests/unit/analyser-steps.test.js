'use strict';
// Display bands that read the same FFT bins are drawn as one flat step.
const test = require('node:test');
const assert = require('node:assert/strict');
const { loadModules } = require('../harness/modules');

const page = loadModules(['util.js', 'analyser.js']);
const bandHz = (j) => 20 * Math.pow(1000, j / 127);

test('bands are grouped by the bins they read, nothing finer than a bin at low frequencies', () => {
  for (const rate of [44100, 48000, 96000]) {
    const steps = page.spectrumSteps(rate);
    // Contiguous, in order, covering all 128 bands.
    assert.equal(steps[0].first, 0);
    assert.equal(steps[steps.length - 1].last, 127);
    steps.forEach((s, i) => { if (i) assert.equal(s.first, steps[i - 1].last + 1); });
    // Neighbouring runs of bins overlap by at most one bin: at most two steps per bin.
    const binHz = rate / 2048;
    for (const hz of [47, 100, 200]) {
      const below = steps.filter((s) => bandHz(s.last) < hz).length;
      assert.ok(below <= 2 * Math.ceil(hz / binHz), `${rate} Hz: ${below} steps below ${hz} Hz`);
    }
    // Where bands are wider than bins, every band is its own step.
    assert.ok(steps.filter((s) => bandHz(s.first) > 4000).every((s) => s.first === s.last), `${rate}`);
  }
  // At 48 kHz the bins are 23.4 Hz wide: 20-47 Hz is no more than three steps.
  assert.ok(page.spectrumSteps(48000).filter((s) => bandHz(s.first) < 47).length <= 3);
});
