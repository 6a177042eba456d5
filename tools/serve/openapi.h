// The parts of the API's OpenAPI 3 description that each document brings.
#pragma once

#include <string>

#include "serve.h"

namespace tarn::serve {

// An amount: whole grosze or a decimal string, never a binary fraction.
Json AmountSchema();

struct DocumentApi {
    std::string summary;
    Json schema, example;
};
// The documents beside the receipt.
DocumentApi DescribeDocument(const std::string& kind);

}  // namespace tarn::serve
