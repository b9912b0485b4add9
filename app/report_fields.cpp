#include "app/report_fields.h"

#include "analysis/report_sink.h"

namespace tavro {

const std::vector<ReportFieldInfo>& reportFields() {
    static const std::vector<ReportFieldInfo> fields = {
        {field::Path, "Path", "path"},
        {field::Size, "Size", "size"},
        {field::FileStatus, "File Status", "file_status"},
        {field::Counter, "Counter", "counter"},
        {field::Type, "Type", "type"},
        {field::Interleave, "I/L", "interleave"},
        {field::Imrr, "IMRR", "imrr"},
        {field::FourCC, "4CC", "fourcc"},
        {field::VideoName, "Video Name", "video_name"},
        {field::VideoStatus, "Video Status", "video_status"},
        {field::Aspect, "Aspect Ratio", "aspect_ratio"},
        {field::VideoBitrate, "Video Bitrate", "video_bitrate"},
        {field::Framerate, "Framerate", "framerate"},
        {field::Duration, "Duration", "duration"},
        {field::AudioName, "Audio Name", "audio_name"},
        {field::AudioStatus, "Audio Status", "audio_status"},
        {field::AudioBitrate, "Audio Bitrate", "audio_bitrate"},
        {field::SampleRate, "Fs", "fs"},
        {field::Stream1, "Stream 1", "stream_1"},
        {field::Stream2, "Stream 2", "stream_2"},
        {field::Stream3, "Stream 3", "stream_3"},
        {field::SourceMedia, "Source Media", "source_media"},
        {field::VideoMedia, "Video Media", "video_media"},
        {field::AudioMedia, "Audio Media", "audio_media"},
        {field::SplitterOther, "Splitter/Other", "splitter_other"},
        {field::VideoCodec, "Video Codec", "video_codec"},
        {field::AudioCodec, "Audio Codec", "audio_codec"},
        {field::RenderStatus, "Render Status", "render_status"},
    };
    return fields;
}

} // namespace tavro
