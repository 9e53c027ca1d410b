'use strict';
// Loads modules of the page (resources/web/src) into one fresh script context,
// in the order given, as the build joins them into the page: their top-level
// functions and variables become properties of the returned context. The page
// data and stand-ins for what the modules call outside themselves are given.

const fs = require('node:fs');
const path = require('node:path');
const vm = require('node:vm');
const { loadPageData } = require('./fixtures');

const kSrc = path.resolve(__dirname, '..', '..', 'resources', 'web', 'src');

function loadModules(names, globals = {}) {
  const context = vm.createContext({ kPageData: loadPageData(), ...globals });
  for (const name of names) {
    vm.runInContext(fs.readFileSync(path.join(kSrc, name), 'utf8'), context, { filename: name });
  }
  return context;
}

// A parameter record as the page makes it from a description, by name and
// index from the engine's table in the page data.
function paramFrom(page, id, desc) {
  return page.makeParam({ id, ...desc });
}

module.exports = { loadModules, paramFrom };
