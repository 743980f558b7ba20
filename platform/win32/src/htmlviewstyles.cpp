// The HTML view's UA style sheet: how elements look before a page's own
// styles, close to the Windows browser control's defaults (a white page,
// margins of 8 pixels, Times New Roman at 16 pixels, grey 3-D buttons).
#include "htmlviewcontainer.h"

namespace winsim::html {

const char* const kMasterStyleSheet = R"css(
html { display: block; position: relative; }
head, meta, title, link, style, script, noscript, template, base, option,
input[type="hidden"] { display: none; }
body { display: block; margin: 8px; }

div, p, h1, h2, h3, h4, h5, h6, address, blockquote, center, dl, dt, dd, form, fieldset,
header, footer, section, article, aside, nav, main, hgroup, figure, figcaption { display: block; }
span, a, b, strong, i, em, u, s, strike, small, big, sub, sup, font, abbr, code, tt, kbd, samp, var,
label { display: inline; }

p { margin-top: 1em; margin-bottom: 1em; }
h1 { font-size: 2em; font-weight: bold; margin-top: 0.67em; margin-bottom: 0.67em; }
h2 { font-size: 1.5em; font-weight: bold; margin-top: 0.83em; margin-bottom: 0.83em; }
h3 { font-size: 1.17em; font-weight: bold; margin-top: 1em; margin-bottom: 1em; }
h4 { font-weight: bold; margin-top: 1.33em; margin-bottom: 1.33em; }
h5 { font-size: 0.83em; font-weight: bold; margin-top: 1.67em; margin-bottom: 1.67em; }
h6 { font-size: 0.67em; font-weight: bold; margin-top: 2.33em; margin-bottom: 2.33em; }
b, strong, th { font-weight: bold; }
i, em, address, var { font-style: italic; }
u { text-decoration: underline; }
s, strike { text-decoration: line-through; }
small { font-size: smaller; }
big { font-size: larger; }
center { text-align: center; }
blockquote { margin: 1em 40px; }
dd { margin-left: 40px; }
dl { margin-top: 1em; margin-bottom: 1em; }
code, tt, kbd, samp { font-family: monospace; }
pre { display: block; font-family: monospace; white-space: pre; margin-top: 1em; margin-bottom: 1em; }
hr { display: block; margin: 0.5em auto; border-style: inset; border-width: 1px; border-color: #a0a0a0; }

a:link, a { color: #0000ff; text-decoration: underline; }

img { display: inline-block; }
img[align="left"] { float: left; }
img[align="right"] { float: right; }
br { display: inline-block; }
br[clear="all"] { clear: both; }

ul, menu, dir { display: block; list-style-type: disc; margin-top: 1em; margin-bottom: 1em; padding-left: 40px; }
ol { display: block; list-style-type: decimal; margin-top: 1em; margin-bottom: 1em; padding-left: 40px; }
li { display: list-item; }
ul ul, ol ul { list-style-type: circle; }
ul ul, ul ol, ol ol, ol ul { margin-top: 0; margin-bottom: 0; }

table { display: table; border-collapse: separate; border-spacing: 2px; }
thead, tbody, tfoot { display: table-row-group; vertical-align: middle; }
tr { display: table-row; vertical-align: inherit; }
td, th { display: table-cell; vertical-align: inherit; padding: 1px; }
caption { display: table-caption; text-align: center; }
table[border] { border-style: outset; border-width: 1px; border-color: #c0c0c0; }
table[border] td, table[border] th { border-style: inset; border-width: 1px; border-color: #c0c0c0; }
td[nowrap], th[nowrap] { white-space: nowrap; }

button, input, select, textarea {
  display: inline-block; margin: 0; line-height: normal; text-indent: 0;
  font-family: Arial; font-size: 13px; color: #000000;
}
button {
  padding: 2px 8px; border-width: 2px; border-style: outset; border-color: #e3e3e3;
  background-color: #e3e3e3; text-align: center; white-space: nowrap;
}
button:active { border-style: inset; }
)css";

}  // namespace winsim::html
