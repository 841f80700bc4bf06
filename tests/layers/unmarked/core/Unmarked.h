#pragma once

namespace vantora {
void Hidden();  // declared outside the public-API markers
}  // namespace vantora
