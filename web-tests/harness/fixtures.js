'use strict';
// The plug-in's statements and the engine's data for the page (from the file an env variable names, else the build)
// and the page's own modules for the logic tests.
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const vm = require('node:vm');
const { execFileSync } = require('node:child_process');

const kBuild = path.resolve(__dirname, '..', '..', 'build');

// "SAMFD(%i, %i, '%s')": the length written is that of the base64 text plus one.
function samfd(tag, payload) {
  const b64 = Buffer.from(payload, 'utf8').toString('base64');
  return `SAMFD(${tag}, ${b64.length + 1}, '${b64}')`;
}

const payloadOf = (statement) => Buffer.from(statement.split('\'')[1], 'base64').toString('utf8');

// The JSON file named by env, or one that the build's tool writes (tool args... file).
function loadJson(env, tool, ...args) {
  let file = process.env[env];
  if (!file) {
    file = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'kyr-')), 'out.json');
    execFileSync(path.join(kBuild, 'tools', tool, tool), [...args, file]);
  }
  return JSON.parse(fs.readFileSync(file, 'utf8'));
}

// The page data the build inlines into the page: the engine's parameter texts and voicing.
const loadPageData = () => JSON.parse(fs.readFileSync(process.env.KYR_PAGE_DATA || path.join(kBuild, 'web', 'page-data.json'), 'utf8'));
// The engine's own magnitude responses for a set of settings.
const loadResponses = () => loadJson('KYR_RESPONSE_FIXTURES', 'kyr-page-data', 'responses');

// The statements the plug-in sends: descriptions, values, meter, spectrum and rate messages.
function loadFixtures() {
  const fixtures = loadJson('KYR_PROTOCOL_FIXTURES', 'kyr-protocol-fixtures');
  fixtures.descs = JSON.parse(payloadOf(fixtures.params)).params;
  fixtures.names = fixtures.descs.map((p) => p.name);  // in index order
  return fixtures;
}

// Page modules from resources/web/src in one fresh context, in order, as the build joins them.
const kSrc = path.resolve(__dirname, '..', '..', 'resources', 'web', 'src');
function loadModules(names, globals = {}) {
  const context = vm.createContext({ kPageData: loadPageData(), ...globals });
  for (const name of names) vm.runInContext(fs.readFileSync(path.join(kSrc, name), 'utf8'), context, { filename: name });
  return context;
}

module.exports = { samfd, payloadOf, loadFixtures, loadPageData, loadResponses, loadModules };
