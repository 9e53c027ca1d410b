// ---------------------------------------------------------------------------
// Keyboard shortcuts
// ---------------------------------------------------------------------------
// Keyboard shortcuts of undo and redo: Ctrl (Cmd on macOS keyboards) + Z,
// + Y or + Shift + Z. They are taken before the document sees them, so the
// host is not sent the key as well and does not undo on its own. A typing
// field keeps its own text undo.
window.addEventListener('keydown', function (e) {
  if (!(e.ctrlKey || e.metaKey) || e.altKey) return;
  var k = e.key.toLowerCase();
  if (k !== 'z' && k !== 'y') return;
  var t = e.target;
  if (t && (t.tagName === 'INPUT' || t.tagName === 'TEXTAREA')) return;
  e.preventDefault();
  e.stopPropagation();
  gShortcutKey = e.code;
  if (k === 'y' || e.shiftKey) edits.doRedo(); else edits.doUndo();
}, true);
// The release of a key taken above is taken too.
var gShortcutKey = null;
window.addEventListener('keyup', function (e) {
  if (e.code !== gShortcutKey) return;
  gShortcutKey = null;
  e.stopPropagation();
}, true);
