'use strict';
// The plug-in's side of the editor protocol, as the C++ code writes it: the
// statements it sends to the page (parameter descriptions, parameter values,
// meter and spectrum messages). KYR_PROTOCOL_FIXTURES names the JSON file that
// tools/kyr-protocol-fixtures writes; without it the tool of the repository's
// build folder is run to write one.

const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { execFileSync } = require('node:child_process');

const kRepo = path.resolve(__dirname, '..', '..');
const kTool = path.join(kRepo, 'build', 'tools', 'kyr-protocol-fixtures', 'kyr-protocol-fixtures');

// "SAMFD(%i, %i, '%s')": the length written is that of the base64 text plus one.
function samfd(tag, payload) {
  const b64 = Buffer.from(payload, 'utf8').toString('base64');
  return `SAMFD(${tag}, ${b64.length + 1}, '${b64}')`;
}

// The payload of a "SAMFD" statement, decoded from base64.
function payloadOf(statement) {
  return Buffer.from(statement.split('\'')[1], 'base64').toString('utf8');
}

// The page data the build inlines into the page (kyr-page-data page): the
// engine's parameter texts and voicing. KYR_PAGE_DATA names another build's.
function loadPageData() {
  const file = process.env.KYR_PAGE_DATA || path.join(kRepo, 'build', 'web', 'page-data.json');
  return JSON.parse(fs.readFileSync(file, 'utf8'));
}

// The engine's own magnitude responses for a set of settings (kyr-page-data
// responses), from the file KYR_RESPONSE_FIXTURES names or the build's tool.
function loadResponses() {
  let file = process.env.KYR_RESPONSE_FIXTURES;
  if (!file) {
    const tool = path.join(kRepo, 'build', 'tools', 'kyr-page-data', 'kyr-page-data');
    file = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'kyr-responses-')), 'responses.json');
    execFileSync(tool, ['responses', file]);
  }
  return JSON.parse(fs.readFileSync(file, 'utf8'));
}

function loadFixtures() {
  let file = process.env.KYR_PROTOCOL_FIXTURES;
  if (!file) {
    if (!fs.existsSync(kTool)) {
      throw new Error(`no protocol fixtures: set KYR_PROTOCOL_FIXTURES or build ${kTool} (scripts/test.sh does both)`);
    }
    file = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'kyr-fixtures-')), 'fixtures.json');
    execFileSync(kTool, [file]);
  }
  const fixtures = JSON.parse(fs.readFileSync(file, 'utf8'));
  // The parameter names in index order, as the description message gives them.
  fixtures.names = JSON.parse(payloadOf(fixtures.params)).params.map((p) => p.name);
  return fixtures;
}

module.exports = { samfd, payloadOf, loadFixtures, loadPageData, loadResponses };
