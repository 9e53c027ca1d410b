#pragma once

#include <functional>
#include <string>

#include "ComObject.h"

// The process-wide browser environment of the editors: created by the first editor of the
// process through WebView2Loader.dll and kept (never released) so that every later editor, of
// any plug-in instance, only creates its own controller. User-interface thread only.
namespace oskel::platform::win {

// The loader's environment-creation entry from WebView2Loader.dll in this module's folder (a
// release package ships the redistributable loader there). Null when the DLL or the entry is
// missing; looked for again on the next call.
CreateCoreWebView2EnvironmentWithOptionsProc LoaderEntry();
// The same from `folder` (with its trailing separator). Only an absolute folder is searched: a
// bare or relative name would let the system's DLL search order pick whichever
// WebView2Loader.dll it finds first (another product's, or a planted one).
CreateCoreWebView2EnvironmentWithOptionsProc LoaderEntryIn(const std::wstring& folder);

// The folders a user-data folder can go under.
enum class UserFolder { kRoamingAppData, kLocalAppData, kTemporary };
// Finds one of them (no trailing separator); empty when the system does not know it.
using UserFolderLookup = std::wstring (*)(UserFolder folder);
// Replaces how the folders are found (tests); null restores the system's lookup.
void SetUserFolderLookup(UserFolderLookup lookup);

// The browser's user-data (cache) folder, shared by every editor of the user:
// <roaming application data>\Oskel\WebViewCache. Without a roaming folder the same path under
// the local application-data folder, then under the temporary folder: the runtime's own
// default would be a folder beside the host's executable, which is often not writable. Empty
// when none of them is known.
std::wstring WebViewCacheFolder();

// Called with the environment, or with null when the runtime could not create one.
using EnvironmentReady = std::function<void(ICoreWebView2Environment*)>;

// Hands the shared environment to `ready` at once when it exists. Otherwise asks the runtime
// for one (with the options of EnvironmentOptions; once more without options when that request
// fails) and calls `ready` from the runtime's completion callback. False when no request could
// be made (no loader, or both requests refused): `ready` is then never called. The first
// request pins this module in the process (see PinThisModule).
bool RequestEnvironment(EnvironmentReady ready);

}  // namespace oskel::platform::win
