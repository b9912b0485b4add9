// What the recording DSP plug-in saw; the tests read it through recorderLog.
#pragma once
#include <windows.h>

struct RecorderLog {
    int inits;
    int configs;
    int quits;
    int calls;     // ModifySamples calls
    int lastCount; // its arguments, last call
    int lastBits;
    int lastChannels;
    int lastRate;
    unsigned char lastFirstByte;
    HWND parent; // as set on the module before Init
    HINSTANCE instance;
    int order[16]; // 'I'nit, 'C'onfig, 'M'odify, 'Q'uit, first calls only
    int orderLength;
};

using RecorderLogFn = RecorderLog*(__cdecl*)();
