'use strict';
// Stand-in for the plug-in side of the editor protocol: builds the exact script
// statements the plug-in sends to the page (parameter descriptions, parameter
// values, meter and spectrum messages). When KYR_PROTOCOL_FIXTURES names a JSON
// file written by the C++ code, loadFixtures() returns that file's statements
// instead, so the browser tests run against the real bytes.

const fs = require('node:fs');

// The plug-in's 53 parameters in index order: [name, kind, default, min, max].
// Enumerations and two-state parameters run from 0 to count - 1.
const kParams = [
  ['Input', 'float', 50, 0, 100],
  ['Low Cut', 'float', 0, 0, 100],
  ['Low Cut Freq', 'enum', 0, 0, 3],
  ['Low Boost', 'float', 0, 0, 100],
  ['Low Boost Freq', 'enum', 2, 0, 3],
  ['Mid Cut', 'float', 0, 0, 100],
  ['Mid Cut Freq', 'enum', 2, 0, 5],
  ['High Boost', 'float', 0, 0, 100],
  ['High Boost Freq', 'enum', 5, 0, 7],
  ['Bandwidth', 'float', 0, 0, 100],
  ['High Cut', 'float', 0, 0, 100],
  ['High Cut Freq', 'enum', 2, 0, 3],
  ['Output', 'float', 50, 0, 100],
  ['Clean', 'bool', 0, 0, 1],
  ['Bypass', 'bool', 0, 0, 1],
  ['Mode', 'enum', 0, 0, 1],
  ['BAX Lo Cut', 'enum', 0, 0, 7],
  ['BAX Lo Shelf Freq', 'enum', 4, 0, 8],
  ['BAX Lo Shelf L', 'float', 0, -5, 5],
  ['BAX Lo Shelf R', 'float', 0, -5, 5],
  ['BAX Hi Shelf Freq', 'enum', 3, 0, 7],
  ['BAX Hi Shelf L', 'float', 0, -5, 5],
  ['BAX Hi Shelf R', 'float', 0, -5, 5],
  ['BAX Hi Cut', 'enum', 0, 0, 7],
  ['BAX Dynamic', 'float', 0, 0, 100],
  ['BAX Link', 'bool', 1, 0, 1],
  ['BAX Stereo Mode', 'bool', 0, 0, 1],
  ['HQ Oversample', 'bool', 0, 0, 1],
  ['Dynamic Tube', 'float', 0, 0, 100],
  ['Auto Gain Match', 'bool', 0, 0, 1],
  ['LF Filter', 'enum', 0, 0, 6],
  ['HF Filter', 'enum', 0, 0, 6],
  ['LF Slope', 'enum', 1, 0, 2],
  ['LF Reso', 'float', 0, 0, 100],
  ['HF Slope', 'enum', 1, 0, 2],
  ['HF Reso', 'float', 0, 0, 100],
  ['Mid Boost', 'float', 0, 0, 100],
  ['Mid Boost Freq', 'enum', 4, 0, 7],
  ['Band Listen', 'enum', 0, 0, 8],
  ['Tilt', 'float', 0, -3, 3],
  ['Width', 'float', 100, 0, 200],
  ['Bass Mono', 'enum', 0, 0, 4],
  ['Push-Pull', 'float', 0, 0, 100],
  ['Push-Pull Speed', 'float', 50, 0, 100],
  ['Push-Pull Pivot', 'float', 0, -100, 100],
  ['PP Low Cut', 'float', 100, 0, 100],
  ['PP Low Boost', 'float', 100, 0, 100],
  ['PP Mid Cut', 'float', 100, 0, 100],
  ['PP High Boost', 'float', 100, 0, 100],
  ['PP High Cut', 'float', 100, 0, 100],
  ['PP Mid Boost', 'float', 100, 0, 100],
  ['PP BAX Lo', 'float', 100, 0, 100],
  ['PP BAX Hi', 'float', 100, 0, 100],
];

// A real as the plug-in's JSON writer prints it after the "%f" round trip:
// six decimals first, then the shortest text that reads back, with at least
// one digit after the point.
function jsonReal(x) {
  const v = Number(x.toFixed(6));
  const text = String(v === 0 ? 0 : v);
  return /[.eE]/.test(text) ? text : `${text}.0`;
}

// Members in ascending byte order of their names, no spaces.
function describeParam(index, [name, kind, def, min, max]) {
  return `{"default":${jsonReal(def)},"display_type":0,"id":${index},"max":${jsonReal(max)},` +
    `"min":${jsonReal(min)},"name":${JSON.stringify(name)},"rate":"control","type":"${kind}"}`;
}

function paramsJson() {
  return `{"id":"params","params":[${kParams.map((p, i) => describeParam(i, p)).join(',')}]}`;
}

function base64(text) {
  return Buffer.from(text, 'utf8').toString('base64');
}

// "SAMFD(%i, %i, '%s')": the length written is that of the base64 text plus one.
function samfd(tag, payload) {
  const b64 = base64(payload);
  return `SAMFD(${tag}, ${b64.length + 1}, '${b64}')`;
}

function normalisedDefault([, , def, min, max]) {
  return (def - min) / (max - min);
}

function spvfd(index, normalised) {
  return `SPVFD(${index}, ${normalised.toFixed(6)})`;
}

const kDefaultMeters = {
  thd: 0, drive: 0, loRed: 0, hiRed: 0, tp: -120, lufs: -120, xf: 0, tb: 0, ease: 0,
  ppg: [1, 1, 1, 1, 1, 1], ppbg: [1, 1],
};

function meterJson(m) {
  const f = (v, d) => Number(v).toFixed(d);
  return `{"t":"meters","thd":${f(m.thd, 3)},"drive":${f(m.drive, 3)},"loRed":${f(m.loRed, 2)},` +
    `"hiRed":${f(m.hiRed, 2)},"tp":${f(m.tp, 2)},"lufs":${f(m.lufs, 1)},"xf":${f(m.xf, 3)},` +
    `"tb":${f(m.tb, 3)},"ease":${f(m.ease, 2)},"ppg":[${m.ppg.map((v) => f(v, 3)).join(',')}],` +
    `"ppbg":[${m.ppbg.map((v) => f(v, 3)).join(',')}]}`;
}

function meterStatement(values = {}) {
  return samfd(0, meterJson({ ...kDefaultMeters, ...values }));
}

// The 256-byte spectrum picture from two 2048-sample mid signals: Hann window
// of period 2047, scaled DFT powers, 128 logarithmic bands 20 Hz..20 kHz,
// level 0..255 for -120..0 dB.
function spectrumPicture(input, output, sampleRate = 48000) {
  const n = 2048;
  const binHz = sampleRate * 0.00048828125;
  const picture = new Uint8Array(256);
  const cosTable = new Float64Array(n);
  const sinTable = new Float64Array(n);
  for (let i = 0; i < n; i++) {
    cosTable[i] = Math.cos((2 * Math.PI * i) / n);
    sinTable[i] = Math.sin((2 * Math.PI * i) / n);
  }
  [input, output].forEach((signal, s) => {
    const x = new Float32Array(n);
    for (let i = 0; i < n; i++) {
      x[i] = (0.5 - 0.5 * Math.cos((2 * Math.PI * i) / 2047)) * signal[i] * (1 / 4096);
    }
    const power = new Float64Array(1024);
    for (let k = 0; k < 1024; k++) {
      let re = 0;
      let im = 0;
      for (let i = 0; i < n; i++) {
        const t = (k * i) % n;
        re += x[i] * cosTable[t];
        im -= x[i] * sinTable[t];
      }
      const scale = k === 0 || k === 1023 ? 16 : 64;
      power[k] = scale * (re * re + im * im);
    }
    for (let j = 0; j < 128; j++) {
      const lo = Math.max(1, Math.floor((20 * 1000 ** ((j - 0.5) / 127)) / binHz));
      const hi = Math.min(1023, Math.ceil((20 * 1000 ** ((j + 0.5) / 127)) / binHz));
      let p;
      if (lo <= hi) {
        p = 0;
        for (let k = lo; k <= hi; k++) p += power[k];
        p /= hi - lo + 1;
      } else {
        p = power[Math.min(1023, Math.max(1, Math.round((20 * 1000 ** (j / 127)) / binHz)))];
      }
      const level = Math.round(((10 * Math.log10(p + 1e-12) + 120) / 120) * 255);
      picture[s * 128 + j] = Math.min(255, Math.max(0, level));
    }
  });
  return picture;
}

// A deterministic programme-like test signal: decaying noise plus two tones.
function testSignals() {
  const n = 2048;
  const input = new Float64Array(n);
  const output = new Float64Array(n);
  let seed = 12345;
  let low = 0;
  let lowOut = 0;
  for (let i = 0; i < n; i++) {
    seed = (seed * 1103515245 + 12345) % 2147483648;
    const noise = seed / 1073741824 - 1;
    low += (noise - low) * 0.05;
    const tones = 0.3 * Math.sin((2 * Math.PI * 110 * i) / 48000) + 0.05 * Math.sin((2 * Math.PI * 3000 * i) / 48000);
    input[i] = 0.5 * low + 0.02 * noise + tones;
    lowOut += (input[i] - lowOut) * 0.3;
    output[i] = 1.4 * input[i] - 0.4 * lowOut;
  }
  return { input, output };
}

function spectrumStatement(picture) {
  const pic = picture || (() => {
    const { input, output } = testSignals();
    return spectrumPicture(input, output);
  })();
  const inner = Buffer.from(pic).toString('base64');
  return samfd(3, inner);
}

function generateFixtures() {
  return {
    params: samfd(-1, paramsJson()),
    values: kParams.map((p, i) => spvfd(i, normalisedDefault(p))),
    meters: meterStatement({
      thd: 1.234, drive: 0.373, loRed: 1.5, hiRed: 0.75, tp: -3.21, lufs: -14.2, xf: 0.812, tb: 0.301,
      ease: -1.25, ppg: [1.2, 0.9, 1.05, 0.8, 1.0, 1.3], ppbg: [1.1, 0.85],
    }),
    spectrum: spectrumStatement(),
  };
}

// The fixtures the tests run against: the C++ code's file when present.
function loadFixtures() {
  const file = process.env.KYR_PROTOCOL_FIXTURES;
  if (file && fs.existsSync(file)) {
    return { source: file, ...JSON.parse(fs.readFileSync(file, 'utf8')) };
  }
  return { source: 'generated', ...generateFixtures() };
}

module.exports = {
  kParams, paramsJson, samfd, spvfd, meterJson, meterStatement, spectrumPicture, spectrumStatement,
  generateFixtures, loadFixtures, normalisedDefault,
};
