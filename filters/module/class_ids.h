// Class identifiers of the module's rows whose objects live elsewhere or are not
// built yet; each filter's own header declares its identifier as well.
#pragma once
#include <objbase.h>

extern "C" const CLSID CLSID_NerroVRenderer;   // a8dca1c0-d1e3-11d4-8b80-00d05c00ae53
extern "C" const CLSID CLSID_NerroQualityPage; // db76d7f0-97cc-11cf-a096-00805f6cab82
extern "C" const CLSID CLSID_NerroAboutPage;   // db76d7f0-97cc-11cf-a096-00805f6cab83
extern "C" const CLSID CLSID_NerroAudioXform;  // dca34358-4c5a-49b2-a3b3-ffc5a79bc1e4
extern "C" const CLSID CLSID_NerroAudioXform2; // c213a014-c16b-422d-be41-62c4a93b7017
