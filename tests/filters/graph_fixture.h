// A test fixture holding a graph of Wine's filter graph manager: made before each
// test, stopped and let go after it.
#pragma once
#include <gtest/gtest.h>

#include "filter_test_support.h"

namespace filtertest {

class GraphFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        CoInitialize(nullptr);
        ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IGraphBuilder, graph.outVoid()),
                  S_OK);
    }
    void TearDown() override {
        if (graph) graph.as<IMediaControl>(IID_IMediaControl)->Stop();
        graph.reset();
        CoUninitialize();
    }
    ComRef<IGraphBuilder> graph;
};

} // namespace filtertest
