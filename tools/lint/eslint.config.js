// ESLint's recommended rules over the preview page's script, which runs as
// a classic script in a browser.
import js from "@eslint/js";
import globals from "globals";

export default [
  js.configs.recommended,
  {
    languageOptions: {
      sourceType: "script",
      globals: globals.browser,
    },
  },
];
