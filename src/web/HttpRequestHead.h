#pragma once
// Placeholder until the server lands.
