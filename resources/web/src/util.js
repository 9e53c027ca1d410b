// ---------------------------------------------------------------------------
// Small helpers
// ---------------------------------------------------------------------------
var kSvgNs = 'http://www.w3.org/2000/svg';
// The message tags both sides of the channel use, from the plug-in's own protocol.
var kMsgTag = kPageData.protocol.tags;
function el(tag, cls, text) {
  var e = document.createElement(tag);
  if (cls) e.className = cls;
  if (text !== undefined) e.textContent = text;
  return e;
}
function svg(tag, attrs) {
  var e = document.createElementNS(kSvgNs, tag);
  for (var k in attrs) e.setAttribute(k, attrs[k]);
  return e;
}
function clamp(v, lo, hi) { return v < lo ? lo : (v > hi ? hi : v); }
function isNum(v) { return typeof v === 'number' && isFinite(v); }
