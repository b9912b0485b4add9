// The main window's report fields by control id, in window order: the path field
// first, then the fields that show the report's texts.
#pragma once
#include "resource.h"

namespace tavro {

inline constexpr int kPathFieldId = IDC_PATH;
inline constexpr int kReportFieldIds[] = {IDC_FILE_SIZE,
                                          IDC_TYPE,
                                          IDC_INTERLEAVE,
                                          IDC_IMRR,
                                          IDC_VIDEO_FOURCC,
                                          IDC_VIDEO_NAME,
                                          IDC_ASPECT,
                                          IDC_VIDEO_BITRATE,
                                          IDC_FRAMERATE,
                                          IDC_DURATION,
                                          IDC_AUDIO_NAME,
                                          IDC_AUDIO_BITRATE,
                                          IDC_FS,
                                          IDC_RENDER_SOURCE_MEDIA,
                                          IDC_RENDER_VIDEO_MEDIA,
                                          IDC_RENDER_AUDIO_MEDIA,
                                          IDC_RENDER_SPLITTER,
                                          IDC_RENDER_VIDEO_CODEC,
                                          IDC_RENDER_AUDIO_CODEC};

} // namespace tavro
