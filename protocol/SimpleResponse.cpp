#include "SimpleResponse.h"

SimpleResponse::SimpleResponse() = default;

SimpleResponse::~SimpleResponse() = default;

void SimpleResponse::decodePayload() { }
