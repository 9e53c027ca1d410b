// ---------------------------------------------------------------------------
// Parameters: one record per index of the description message.
// ---------------------------------------------------------------------------
// The description message gives names, kinds, ranges and defaults; what it leaves
// out (display texts, unit labels, steps, the unit of a choice's texts) comes
// from the engine's parameter table in the page data, keyed by name.
var kParamInfo = {};
kPageData.params.forEach(function (d) {
  kParamInfo[d.name] = { label: d.label, step: d.step, texts: d.texts.length ? d.texts : null, unit: d.unit };
});

var gParams = [];          // by index; holes stay undefined
var gByName = {};
var gPendingValues = {};   // values that arrived before their description

function decimalsOf(step) {
  var d = 0;
  while (d < 6 && Math.abs(step - Math.round(step)) > 1e-9) { step *= 10; d++; }
  return d;
}

function makeParam(desc) {
  var info = kParamInfo[desc.name] || {};
  var kind = desc.type === 'bool' || desc.type === 'enum' || desc.type === 'int' ? desc.type : 'float';
  var count = kind === 'float' ? 0 : Math.round(desc.max - desc.min) + 1;
  var texts = info.texts && info.texts.length === count ? info.texts : null;
  var step = kind === 'float' ? (info.step || (desc.max - desc.min) / 1000) : 1;
  var p = {
    id: desc.id, name: desc.name, kind: kind, min: desc.min, max: desc.max, def: desc.default,
    step: step, decimals: decimalsOf(step), label: info.label || '', unit: info.unit || '', texts: texts,
    count: count, norm: 0, views: []
  };
  p.defNorm = toNorm(p, p.def);
  p.norm = p.defNorm;
  return p;
}

// Continuous values are cleaned of binary noise (33.3 % gives 0.333, not
// 0.33299999999999996) so that the host sees the value the user chose;
// choices keep the exact quotient index / (count - 1).
function toNorm(p, plain) {
  var n = (quantise(p, plain) - p.min) / (p.max - p.min);
  return clamp(p.kind === 'float' ? Number(n.toPrecision(15)) : n, 0, 1);
}
function toPlain(p, norm) { return quantise(p, p.min + norm * (p.max - p.min)); }
function quantise(p, plain) {
  var q = Math.round((plain - p.min) / p.step) * p.step + p.min;
  return clamp(Number(q.toFixed(Math.min(p.decimals + 2, 12))), p.min, p.max);
}
// The nearest normalised value that lands exactly on a step of the parameter.
function snapNorm(p, norm) { return toNorm(p, toPlain(p, clamp(norm, 0, 1))); }
function plainOf(p) { return toPlain(p, p.norm); }
function indexOf(p) { return Math.round(plainOf(p) - p.min); }

function displayText(p, norm) {
  var v = toPlain(p, norm === undefined ? p.norm : norm);
  if (p.kind !== 'float') {
    var i = Math.round(v - p.min);
    return p.texts ? p.texts[clamp(i, 0, p.texts.length - 1)] : String(Math.round(v));
  }
  var t = (v === 0 ? 0 : v).toFixed(p.decimals);
  if (t === '-0' || /^-0\.0*$/.test(t)) t = t.slice(1);
  // Values of ranges that cross zero carry their sign either way.
  if (p.min < 0 && p.max > 0 && Number(t) > 0) t = '+' + t;
  return p.label ? t + ' ' + p.label : t;
}

function param(name) { return gByName[name]; }
function plain(name, fallback) { var p = gByName[name]; return p ? plainOf(p) : fallback; }
