// The board display: the 8 x 8 grid between separator lines, then the trailer
// with the legal-move count, the hash and the running score.
#pragma once

namespace brevola {

void showBoard();

} // namespace brevola
