'use strict';
// Loads page modules from resources/web/src into one fresh context, in order, as the build joins them.
const fs = require('node:fs');
const path = require('node:path');
const vm = require('node:vm');
const { loadPageData } = require('./fixtures');

const kSrc = path.resolve(__dirname, '..', '..', 'resources', 'web', 'src');

function loadModules(names, globals = {}) {
  const context = vm.createContext({ kPageData: loadPageData(), ...globals });
  for (const name of names) vm.runInContext(fs.readFileSync(path.join(kSrc, name), 'utf8'), context, { filename: name });
  return context;
}

module.exports = { loadModules };
