// The render test's graph as a picture: each filter a box coloured by its role
// (source, splitter, decoder, renderer, filters around them), each connection an
// arrow from output pin to input pin labelled with its media type. As SVG, and as
// Graphviz DOT for those who lay graphs out themselves.
#pragma once
#include <string>
#include <vector>

#include "codecs/codec_database.h"
#include "render/graph_description.h"
#include "render/graph_layout.h"

namespace tavro {

// `db` names the media types; null writes their GUIDs.
std::string graphSvg(const GraphDescription& graph, const CodecDatabase* db);
std::string graphDot(const GraphDescription& graph, const CodecDatabase* db);

} // namespace tavro
