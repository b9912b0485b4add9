// The module's one registration table: every filter and property page it serves,
// in a fixed order, with the names the registry shows.
#pragma once
#include "filters/base/factory_template.h"

extern const CFactoryTemplate g_Templates[];
extern const int g_cTemplates;

const CFactoryTemplate* FindTemplate(REFCLSID clsid);
