// Entry points that the plug-in calls by script. They are defined first, at the
// top level, because the plug-in may run its statements as soon as the document
// exists; anything that arrives before the editor below is ready waits in a
// bounded inbox and is replayed in order.
var gKyrInbox = [];
var gKyrHandler = null;
var gKyrDropped = 0;
function KyrDeliver(kind, args) {
  if (gKyrHandler) {
    try { gKyrHandler(kind, args); } catch (e) { gKyrDropped++; }
    return;
  }
  if (gKyrInbox.length >= 1024) { gKyrInbox.shift(); gKyrDropped++; }
  gKyrInbox.push([kind, args]);
}
function SPVFD(paramIdx, value) { KyrDeliver('SPVFD', [paramIdx, value]); }
function SCVFD(ctrlTag, value) { KyrDeliver('SCVFD', [ctrlTag, value]); }
function SCMFD(ctrlTag, msgTag, dataSize, data) { KyrDeliver('SCMFD', [ctrlTag, msgTag, dataSize, data]); }
function SAMFD(msgTag, dataSize, data) { KyrDeliver('SAMFD', [msgTag, dataSize, data]); }
function SMMFD(statusByte, dataByte1, dataByte2) { KyrDeliver('SMMFD', [statusByte, dataByte1, dataByte2]); }
