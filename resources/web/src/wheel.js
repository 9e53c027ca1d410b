// ---------------------------------------------------------------------------
// Wheel steps by the distance travelled: a mouse notch (100 px, or three
// lines) is one step, a trackpad swipe moves as far as it travels. Shift
// gives the fine steps of a Shift-drag, from a vertical or a horizontal wheel
// (some systems turn Shift+wheel into horizontal scrolling).
// ---------------------------------------------------------------------------
var kWheelPxPerStep = 100;
var kWheelLinesPerStep = 3;
var kWheelStepsPerPage = 10;

// Steps a wheel event travels: positive when rolled up (or left), fractional
// for small movements.
function wheelSteps(e) {
  var d = e.deltaY;
  if (e.shiftKey && !d) d = e.deltaX;
  if (!d) return 0;
  var steps = e.deltaMode === 1 ? d / kWheelLinesPerStep : (e.deltaMode === 2 ? d * kWheelStepsPerPage : d / kWheelPxPerStep);
  return -steps;
}

// Moves p by the steps travelled so far plus what is left over from earlier
// events (acc.rest). Only whole quanta of the parameter are applied; the
// remainder carries to the next event in the same direction. Returns the new
// normalised value.
function wheelMove(p, acc, steps, fine) {
  if (acc.rest * steps < 0) acc.rest = 0;
  var total = acc.rest + steps;
  var quantum = p.kind === 'float' ? p.step : 1;
  var stepSize = p.kind === 'float' && !fine ? Math.max(p.step, (p.max - p.min) * 0.01) : quantum;
  var quanta = Math.trunc(total * stepSize / quantum + (total > 0 ? 1e-9 : -1e-9));
  acc.rest = total - quanta * quantum / stepSize;
  if (!quanta) return p.norm;
  var from = plainOf(p), target = from + quanta * quantum;
  var norm = toNorm(p, target);
  if (target < p.min || target > p.max) acc.rest = 0;
  return norm;
}
